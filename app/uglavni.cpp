#include "uglavni.h"

#include "Cp1250Text.h"
#include "HeadwordSuggestions.h"
#include "Dialogs.h"
#include "ErrorGuard.h"
#include "Forms.h"
#include "HeadwordModel.h"
#include "HelpAccess.h"
#include "LongTask.h"
#include "PdfExport.h"
#include "ReportPrinter.h"
#include "ResultViewLoader.h"
#include "RichTextSelection.h"
#include "RtfReader.h"
#include "SearchSettings.h"
#include "TermHighlighter.h"
#include "ViewZoom.h"
#include "WordForms.h"
#include "WordsListView.h"
#include "icons/ToolIcons.h"
#include "uabout.h"
#include "ureport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMenu>
#include <QMouseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QSplitter>
#include <QStatusBar>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolBar>
#include <QTimer>
#include <QUrl>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <string_view>

namespace {

// The address a suggested headword's link carries.
const QString kSuggestionScheme = QStringLiteral("tarvena-search:");

const QString kCaption = QStringLiteral("Tarvena  ver.2.0");
const QString kInitialComboText = QStringLiteral("Upišite pojam koji želite pronaći");
constexpr int kPrepareCroatianPairMs = 300;
const QString kDirectionHint = QStringLiteral("Prebacuje rječnik između englesko-hrvatskog i hrvatsko-engleskog smjera");

// Designed sizes, in pixels at 96 dpi.
constexpr QSize kWindowSize(700, 500);
constexpr int kSearchPanelHeight = 51;
constexpr QSize kOptionsSize(364, 51);
constexpr int kWordsListWidth = 241;
constexpr int kStatusBarHeight = 19;
// How long the note on an unusable settings file stays in the status bar.
constexpr int kSettingsNoteMs = 15000;
// How often a closed window looks whether the cancelled report has ended.
constexpr int kReportEndPollMs = 10;
// A copy of a whole result reads its text in slices of about this long
// between events, in pieces small enough (a few ms each) to stop on time.
constexpr qint64 kCopySliceMs = 25;
constexpr qsizetype kCopyChunkBytes = 64 << 10;
constexpr int kFirstPanelWidth = 200;
constexpr int kSecondPanelWidth = 50;
constexpr int kToolSeparatorWidth = 8;

// The window font: "Arial", 11 pixels; fontconfig gives the metric-compatible
// Liberation Sans where Arial itself is not installed.
QFont WindowFont()
{
    QFont font(QStringList{QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setPixelSize(11);
    return font;
}

QAction* MakeAction(QObject* owner, const char* name, const QString& text,
                    const QKeySequence& shortcut = QKeySequence(), const QIcon& icon = QIcon(),
                    const QString& hint = QString())
{
    auto* action = new QAction(icon, text, owner);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    if (!hint.isEmpty())
        action->setToolTip(hint);
    return action;
}

// The options box lies flush with the right and bottom edges of the search
// panel. The style draws a group box's frame on its outermost column and
// row, where the window's edge swallows it; drawn one pixel in, as an etched
// frame's dark line lies, the whole frame shows and the box keeps its place
// and size.
class TOptionsBox : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter painter(this);
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        option.rect.adjust(0, 0, -1, -1);
        painter.drawComplexControl(QStyle::CC_GroupBox, option);
    }
};

// Every character of code page 1250, in order.
QByteArray CodePageCharacters()
{
    QByteArray characters;
    for (int c = 0x21; c <= 0xFF; ++c) {
        if (c != 0x7F && c != 0x81 && c != 0x83 && c != 0x88 && c != 0x90 && c != 0x98)   // no character there
            characters.append(char(c));
    }
    return characters;
}

// A result document of the first entries and a paragraph of the characters
// in each style the entries use.
QByteArray WarmUpDocument(const LineList& entries, const QByteArray& characters)
{
    QByteArray escaped;
    for (const char c : characters) {
        if (c == '\\' || c == '{' || c == '}' || uint8_t(c) >= 0x80)
            escaped.append("\\'").append(QByteArray::number(uint8_t(c), 16));
        else
            escaped.append(c);
    }
    QByteArray document(ResultDocument::Header.data(), qsizetype(ResultDocument::Header.size()));
    for (int32_t i = 0; i < std::min<int32_t>(entries.Count(), 16); ++i) {
        const std::string_view line = entries[i];
        document.append(line.data(), qsizetype(line.size())).append("\r\n");
    }
    for (const char* style : {"", "\\b ", "\\i ", "\\cf1 ", "\\b\\cf1 "})
        document.append("\\par {").append(style).append(escaped).append("}\r\n");
    return document.append(ResultDocument::Footer.data(), qsizetype(ResultDocument::Footer.size()));
}

bool IsEnterKey(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

// One set of Hunspell dictionaries for the program, however many windows
// it opens: they are the same for every dictionary and take megabytes.
static HunspellWordForms& SharedWordForms()
{
    static HunspellWordForms forms;
    return forms;
}

TfVokabar::TfVokabar(QWidget* parent, DataFilesInFlight* dataFiles, std::unique_ptr<DictionaryCache> cache)
    : QMainWindow(parent), cache_(std::move(cache)), engine_(store_, document_, *this), dataFiles_(dataFiles)
{
    engine_.SetWordForms(&SharedWordForms());
    setObjectName(QStringLiteral("fVokabar"));
    setWindowTitle(kCaption);
    setWindowIcon(ProgramIcon());
    setFont(WindowFont());

    createActions();
    createMenus();
    createToolBars();
    createSearchPanel();
    createOptionsRow();
    createWorkArea();
    createStatusBar();
    wireHandlers();
    setTabOrder();
    guardShortcuts();
    readSettings();

    // Outer size and place as designed; the frame is taken off the client
    // size once the window manager has told its width (showEvent).
    move(0, 0);
    resize(kWindowSize);
    CBKljuc->setFocus();

    errorguard::Run([this] { FormCreate(); });
    dataFiles_ = nullptr;
}

TfVokabar::~TfVokabar() = default;

void TfVokabar::createActions()
{
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };
    Print1 = MakeAction(this, "Print1", QStringLiteral("Is&pis"), ctrl(Qt::Key_P),
                        ToolIcon(ToolImage::Print), QStringLiteral("Ispis"));
    SpremikaoPDF1 = MakeAction(this, "SpremikaoPDF1", QStringLiteral("Spremi kao &PDF..."),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    Kraj = MakeAction(this, "Kraj", QStringLiteral("&Kraj rada"), ctrl(Qt::Key_K),
                      ToolIcon(ToolImage::Exit), QStringLiteral("Kraj rada"));
    Kopiraj1 = MakeAction(this, "Kopiraj1", QStringLiteral("&Kopiraj"), ctrl(Qt::Key_C),
                          ToolIcon(ToolImage::Copy), QStringLiteral("Kopiraj"));
    Oznaisve2 = MakeAction(this, "Oznaisve2", QStringLiteral("Ozn&ači sve"), ctrl(Qt::Key_A),
                           ToolIcon(ToolImage::SelectAll), QStringLiteral("Označi sve"));
    // The menu bar shows an item with an icon as the icon alone, so the
    // search item and the tool bar's search button are two actions.
    Trai2 = MakeAction(this, "Trai2", QStringLiteral("&Traži"), ctrl(Qt::Key_T));
    ToolSearch = MakeAction(this, "ToolSearch", QStringLiteral("Traži"), QKeySequence(),
                            ToolIcon(ToolImage::Search), QStringLiteral("Traži"));
    Uputezaradsprogramom1 = MakeAction(this, "Uputezaradsprogramom1", QStringLiteral("Upute za &rad s programom"),
                                       QKeySequence(), ToolIcon(ToolImage::Help), QStringLiteral("Pomoć"));
    Oprogramu1 = MakeAction(this, "Oprogramu1", QStringLiteral("&O programu"));

    // The popup's own items: its captions differ from the menu's, and the
    // shortcuts belong to the menu.
    Trai1 = MakeAction(this, "Trai1", QStringLiteral("&Traži"));
    Copy1 = MakeAction(this, "Copy1", QStringLiteral("&Kopiraj"));
    Oznaisve1 = MakeAction(this, "Oznaisve1", QStringLiteral("Označi &sve"));

    // The search options: one checkable action each, in the search menu and
    // in the popup alike.
    const auto option = [this](const char* name, const QString& text) {
        QAction* action = MakeAction(this, name, text);
        action->setCheckable(true);
        return action;
    };
    Zanemaridijakritikeznakove1 = option("Zanemaridijakritikeznakove1", QStringLiteral("Zanemari &dijakritičke znakove"));
    Samocijeleriei1 = option("Samocijeleriei1", QStringLiteral("Samo &cijele riječi"));
    Samopravnipojmovi1 = option("Samopravnipojmovi1", QStringLiteral("Samo &pravni pojmovi"));
    Svioblicirijei1 = option("Svioblicirijei1", QStringLiteral("Svi &oblici riječi"));
    Najprijenajboljipogoci1 = option("Najprijenajboljipogoci1", QStringLiteral("&Najprije najbolji pogoci"));
    // Shortcuts of Latin letters, which every keyboard layout types, and a
    // tip saying what each option does.
    const struct {
        QAction* action;
        Qt::Key key;
        const char* tip;
    } options[] = {
        {Zanemaridijakritikeznakove1, Qt::Key_D, "c pronalazi i č i ć, s pronalazi š, z ž, a d đ"},
        {Samocijeleriei1, Qt::Key_W, "Pojam se pronalazi samo kao cijela riječ: suit ne pronalazi suitcase"},
        {Samopravnipojmovi1, Qt::Key_L, "Samo natuknice pravnog pojmovnika, one s oznakom [Tarvena]"},
        {Svioblicirijei1, Qt::Key_O, "Svaka riječ pojma u svim svojim oblicima: tužitelj pronalazi i tužitelja"},
        {Najprijenajboljipogoci1, Qt::Key_B,
         "Najprije natuknica samog pojma, zatim one koje njime počinju, pa pravni pojmovi; broj pogodaka ostaje"},
    };
    for (const auto& o : options) {
        o.action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | o.key));
        o.action->setShortcutContext(Qt::WindowShortcut);
        o.action->setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(o.tip),
                                                          o.action->shortcut().toString(QKeySequence::NativeText)));
        addAction(o.action);
    }
    Obriipovijesttraenja1 = MakeAction(this, "Obriipovijesttraenja1", QStringLiteral("Obriši povijest traženja"));

    // The direction: the menu item names the Croatian side; the tool-bar
    // button shows the direction in use (showDirection).
    Hrvatskoengleskismjer1 = MakeAction(this, "Hrvatskoengleskismjer1", QStringLiteral("&Hrvatsko-engleski smjer"),
                                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H), QIcon(), kDirectionHint);
    Hrvatskoengleskismjer1->setCheckable(true);
    Hrvatskoengleskismjer1->setIconText(QStringLiteral("EN→HR"));

    // Shortcuts work wherever the focus is in the window, menus open or not.
    addActions({Print1, SpremikaoPDF1, Kraj, Kopiraj1, Oznaisve2, Trai2, Hrvatskoengleskismjer1});
}

void TfVokabar::createMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    menuBar()->setAccessibleName(QStringLiteral("Glavni izbornik"));
    Program1 = menuBar()->addMenu(QStringLiteral("&Program"));
    Program1->setObjectName(QStringLiteral("Program1"));
    Program1->addAction(Print1);
    Program1->addAction(SpremikaoPDF1);
    Program1->addSeparator()->setObjectName(QStringLiteral("N3"));
    Program1->addAction(Kraj);

    Ureivanje1 = menuBar()->addMenu(QStringLiteral("&Uređivanje"));
    Ureivanje1->setObjectName(QStringLiteral("Ureivanje1"));
    Ureivanje1->addAction(Kopiraj1);
    Ureivanje1->addSeparator()->setObjectName(QStringLiteral("N2"));
    Ureivanje1->addAction(Oznaisve2);
    Ureivanje1->addSeparator()->setObjectName(QStringLiteral("N6"));
    Ureivanje1->addAction(Obriipovijesttraenja1);

    // The search command, then the options that shape every search. Its
    // accelerator is Alt+Ž: Alt+T stays with the search button.
    Trai3 = menuBar()->addMenu(QStringLiteral("Tra&ži"));
    Trai3->setObjectName(QStringLiteral("Trai3"));
    Trai3->addAction(Trai2);
    Trai3->addSeparator()->setObjectName(QStringLiteral("N7"));
    Trai3->addAction(Zanemaridijakritikeznakove1);
    Trai3->addAction(Samocijeleriei1);
    Trai3->addAction(Samopravnipojmovi1);
    Trai3->addAction(Svioblicirijei1);
    Trai3->addAction(Najprijenajboljipogoci1);
    Trai3->setToolTipsVisible(true);
    Trai3->addSeparator()->setObjectName(QStringLiteral("N9"));
    Trai3->addAction(Hrvatskoengleskismjer1);

    Pomo1 = menuBar()->addMenu(QStringLiteral("Po&moć"));
    Pomo1->setObjectName(QStringLiteral("Pomo1"));
    Pomo1->addAction(Uputezaradsprogramom1);
    Pomo1->addSeparator()->setObjectName(QStringLiteral("N4"));
    Pomo1->addAction(Oprogramu1);
    // An open drop-down is announced by its menu's name.
    for (QMenu* menu : {Program1, Ureivanje1, Pomo1})
        menu->setAccessibleName(menu->title().remove(QLatin1Char('&')));

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->setAccessibleName(QStringLiteral("Izbornik rezultata pretrage"));
    PopupMenu1->addAction(Trai1);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N5"));
    PopupMenu1->addAction(Copy1);
    PopupMenu1->addAction(Oznaisve1);
    PopupMenu1->addSeparator()->setObjectName(QStringLiteral("N8"));
    PopupMenu1->addAction(Zanemaridijakritikeznakove1);
    PopupMenu1->addAction(Samocijeleriei1);
    PopupMenu1->addAction(Samopravnipojmovi1);
    PopupMenu1->addAction(Svioblicirijei1);
    PopupMenu1->addAction(Najprijenajboljipogoci1);
    PopupMenu1->setToolTipsVisible(true);
}

void TfVokabar::createToolBars()
{
    // The title is the tool bar's name to a screen reader.
    ToolBar1 = addToolBar(QStringLiteral("Alatna traka"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->toggleViewAction()->setVisible(false);
    // Border lines at the top and the bottom, as a docked tool bar has them.
    ToolBar1->setStyleSheet(QStringLiteral(
        "QToolBar#ToolBar1 { border-top: 1px solid palette(mid); border-bottom: 1px solid palette(light);"
        " padding: 1px 2px; spacing: 0px; }"));

    const auto button = [this](QAction* action, const char* name) {
        ToolBar1->addAction(action);
        QWidget* widget = ToolBar1->widgetForAction(action);
        widget->setObjectName(QLatin1String(name));
        widget->setFixedSize(23, 22);
    };
    // Separators are 8 wide, whatever extent the style would give them.
    const auto separator = [this](const char* name) {
        QAction* action = ToolBar1->addSeparator();
        action->setObjectName(QLatin1String(name));
        ToolBar1->widgetForAction(action)->setFixedWidth(kToolSeparatorWidth);
    };
    button(Kraj, "ToolButton1");
    separator("ToolButton2");
    button(ToolSearch, "ToolButton3");
    button(Print1, "ToolButton4");
    separator("ToolButton5");
    button(Kopiraj1, "ToolButton6");
    button(Oznaisve2, "ToolButton7");
    separator("ToolButton10");
    button(Uputezaradsprogramom1, "ToolButton9");
    // The direction in words, so the button is as wide as its text.
    separator("ToolButton11");
    ToolBar1->addAction(Hrvatskoengleskismjer1);
    auto* direction = static_cast<QToolButton*>(ToolBar1->widgetForAction(Hrvatskoengleskismjer1));
    direction->setObjectName(QStringLiteral("ToolButton12"));
    direction->setToolButtonStyle(Qt::ToolButtonTextOnly);
    direction->setFixedHeight(22);
    direction->setAccessibleDescription(QStringLiteral("Smjer rječnika: englesko-hrvatski"));
}

void TfVokabar::createSearchPanel()
{
    pTrazi = new QWidget;
    pTrazi->setObjectName(QStringLiteral("pTrazi"));
    pTrazi->setFixedHeight(kSearchPanelHeight);
    pTrazi->setMinimumWidth(0);
    pTrazi->setAccessibleName(QStringLiteral("Traženje pojma"));

    Label2 = new QLabel(QStringLiteral("T&raži pojam"), pTrazi);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(7, 5);
    Label2->adjustSize();

    CBKljuc = new QComboBox(pTrazi);
    CBKljuc->setObjectName(QStringLiteral("CBKljuc"));
    CBKljuc->setEditable(true);
    // The history is the search command's to keep; the combo box neither adds
    // what is typed nor completes it from the history.
    CBKljuc->setInsertPolicy(QComboBox::NoInsert);
    CBKljuc->setCompleter(nullptr);
    CBKljuc->setGeometry(4, 23, 186, 22);
    CBKljuc->lineEdit()->setText(kInitialComboText);
    // Selected, as a combo box's text is when it takes the focus: the first
    // term typed replaces it.
    CBKljuc->lineEdit()->selectAll();
    Label2->setBuddy(CBKljuc);
    // The edit field holds the focus for the combo box: both carry the name.
    for (QWidget* part : {static_cast<QWidget*>(CBKljuc), static_cast<QWidget*>(CBKljuc->lineEdit())}) {
        part->setAccessibleName(QStringLiteral("Traži pojam"));
        part->setAccessibleDescription(
            QStringLiteral("Pojam koji želite pronaći; padajući popis sadrži već tražene pojmove"));
    }

    BPojamSearch = new QPushButton(SearchGlyph(), QStringLiteral("&Traži"), pTrazi);
    BPojamSearch->setObjectName(QStringLiteral("BPojamSearch"));
    BPojamSearch->setGeometry(191, 23, 76, 22);
    BPojamSearch->setIconSize(QSize(16, 16));
    BPojamSearch->setDefault(true);
    BPojamSearch->setAccessibleDescription(
        QStringLiteral("Traži pojam u cijelom rječniku ili među engleskim riječima, prema odabranoj opciji"));

    GroupBox1 = new TOptionsBox(QStringLiteral("Opcije pretraživanja"), pTrazi);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setFixedSize(kOptionsSize);

    bSve = new QRadioButton(QStringLiteral("Pretraživanje &cjelokupnog rječnika"), GroupBox1);
    bSve->setObjectName(QStringLiteral("bSve"));
    bSve->setGeometry(6, 15, 197, 17);
    bSve->setChecked(true);
    bSve->setAccessibleDescription(QStringLiteral("Prikazuje sve natuknice u kojima se pojam pojavljuje"));

    beng = new QRadioButton(QStringLiteral("Pretraživanje &engleskih riječi"), GroupBox1);
    beng->setObjectName(QStringLiteral("beng"));
    beng->setGeometry(6, 31, 177, 17);
    beng->setAccessibleDescription(QStringLiteral("Već tijekom upisivanja prelazi na prvu englesku riječ "
                                                  "koja počinje pojmom"));

    CBMatchCase = new QCheckBox(QStringLiteral("Uvaži velika i mala &slova"), GroupBox1);
    CBMatchCase->setObjectName(QStringLiteral("CBMatchCase"));
    CBMatchCase->setGeometry(197, 30, 153, 17);
    CBMatchCase->setAccessibleDescription(QStringLiteral("Pri traženju razlikuje velika i mala slova"));

    // The options sit at the right edge of the panel, whatever its width.
    pTrazi->installEventFilter(this);
}

QList<QAction*> TfVokabar::searchOptionActions() const
{
    return {Zanemaridijakritikeznakove1, Samocijeleriei1, Samopravnipojmovi1, Svioblicirijei1, Najprijenajboljipogoci1};
}

void TfVokabar::createOptionsRow()
{
    // The options within sight: a row of small check boxes under the
    // options box, right-aligned with it, each the same as its menu item.
    // The search panel above keeps its controls where they are.
    pOpcije = new QWidget;
    pOpcije->setObjectName(QStringLiteral("pOpcije"));
    pOpcije->setAccessibleName(QStringLiteral("Opcije traženja"));
    QFont small = WindowFont();
    small.setPixelSize(10);
    pOpcije->setFont(small);
    auto* row = new QHBoxLayout(pOpcije);
    row->setContentsMargins(4, 0, 6, 1);
    row->setSpacing(10);
    row->addStretch(1);
    const QStringList captions = {QStringLiteral("bez dijakritike"), QStringLiteral("cijele riječi"),
                                  QStringLiteral("pravni pojmovi"), QStringLiteral("svi oblici"),
                                  QStringLiteral("najbolji prvi")};
    const QList<QAction*> actions = searchOptionActions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        QAction* action = actions[i];
        auto* box = new QCheckBox(i < captions.size() ? captions[i] : action->text().remove(u'&'), pOpcije);
        box->setObjectName(action->objectName() + QStringLiteral("Box"));
        box->setToolTip(action->toolTip());
        box->setAccessibleName(action->text().remove(u'&'));
        // The keyboard reaches the options by their shortcuts; tabbing
        // stays as it was.
        box->setFocusPolicy(Qt::NoFocus);
        box->setChecked(action->isChecked());
        connect(box, &QCheckBox::toggled, action, &QAction::setChecked);
        connect(action, &QAction::toggled, box, &QCheckBox::setChecked);
        row->addWidget(box);
    }
}

void TfVokabar::createWorkArea()
{
    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(pTrazi);
    column->addWidget(pOpcije);

    Splitter1 = new QSplitter(Qt::Horizontal);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(1);
    Splitter1->setChildrenCollapsible(false);

    auto* list = new TWordsListView;
    WordsList = list;
    WordsList->setObjectName(QStringLiteral("WordsList"));
    WordsList->setAccessibleName(QStringLiteral("Engleski pojmovi"));
    WordsList->setAccessibleDescription(
        QStringLiteral("Natuknice rječnika abecednim redom; prijevod odabrane prikazuje se desno"));
    WordsList->setSelectionMode(QAbstractItemView::SingleSelection);
    WordsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One height for every row: the view lays out 60,000 rows without asking.
    WordsList->setUniformItemSizes(true);
    WordsList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    WordsList->setTextElideMode(Qt::ElideRight);
    headwords_ = new HeadwordModel(store_, this);
    WordsList->setModel(headwords_);

    RichEdit1 = new QTextEdit;
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setAccessibleName(QStringLiteral("Rezultat pretrage"));
    RichEdit1->setAccessibleDescription(
        QStringLiteral("Prijevodi pronađenih pojmova; tekst se može označiti i kopirati"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setFocusPolicy(Qt::StrongFocus);
    RichEdit1->setTabChangesFocus(true);
    RichEdit1->setUndoRedoEnabled(false);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    highlighter_ = new TermHighlighter(RichEdit1);
    zoom_ = new ViewZoom(RichEdit1);
    loader_ = new ResultViewLoader(RichEdit1);
    // Text the view takes in later is shown at the zoom of the rest.
    connect(loader_, &ResultViewLoader::added, this, [this](int from) {
        if (zoom_->Factor() != 1.0)
            zoom_->ApplyFrom(from);
    });

    Splitter1->addWidget(WordsList);
    Splitter1->addWidget(RichEdit1);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kWordsListWidth, kWindowSize.width() - kWordsListWidth - 1});
    column->addWidget(Splitter1, 1);
    setCentralWidget(central);
}

void TfVokabar::createStatusBar()
{
    StatusBar1 = statusBar();
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(QStringLiteral("Statusna traka"));
    StatusBar1->setFixedHeight(kStatusBarHeight);
    const auto panel = [this](const char* name, int width) {
        auto* label = new QLabel;
        label->setObjectName(QLatin1String(name));
        label->setFixedWidth(width);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setContentsMargins(2, 0, 2, 0);
        StatusBar1->addWidget(label);
        return label;
    };
    StatusPanel0 = panel("StatusPanel0", kFirstPanelWidth);
    StatusPanel1 = panel("StatusPanel1", kSecondPanelWidth);
    // The options that are on, named briefly; empty while none is. It takes
    // the rest of the bar.
    StatusPanel2 = new QLabel;
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    StatusPanel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanel2->setContentsMargins(2, 0, 2, 0);
    StatusBar1->addWidget(StatusPanel2, 1);
}

void TfVokabar::wireHandlers()
{
    // Every handler runs under the error guard.
    using errorguard::Slot;
    connect(BPojamSearch, &QPushButton::clicked, this, Slot(this, &TfVokabar::BPojamSearchClick));
    connect(ToolSearch, &QAction::triggered, this, Slot(this, &TfVokabar::BPojamSearchClick));
    connect(Trai2, &QAction::triggered, this, Slot(this, &TfVokabar::Trai2Click));
    connect(Trai1, &QAction::triggered, this, Slot(this, &TfVokabar::Trai1Click));
    connect(Print1, &QAction::triggered, this, Slot(this, &TfVokabar::Print1Click));
    connect(SpremikaoPDF1, &QAction::triggered, this, Slot(this, &TfVokabar::SpremikaoPDF1Click));
    connect(Kraj, &QAction::triggered, this, Slot(this, &TfVokabar::KrajClick));
    connect(Kopiraj1, &QAction::triggered, this, Slot(this, &TfVokabar::Copy1Click));
    connect(Copy1, &QAction::triggered, Kopiraj1, &QAction::trigger);
    connect(Oznaisve2, &QAction::triggered, this, Slot(this, &TfVokabar::Oznaisve1Click));
    connect(Oznaisve1, &QAction::triggered, Oznaisve2, &QAction::trigger);
    connect(Uputezaradsprogramom1, &QAction::triggered, this, Slot(this, &TfVokabar::Uputezaradsprogramom1Click));
    connect(Oprogramu1, &QAction::triggered, this, Slot(this, &TfVokabar::Oprogramu1Click));
    for (QAction* option : searchOptionActions())
        connect(option, &QAction::toggled, this, Slot(this, &TfVokabar::SearchOptionsChange));
    connect(Obriipovijesttraenja1, &QAction::triggered, this, Slot(this, &TfVokabar::Obriipovijesttraenja1Click));
    connect(Hrvatskoengleskismjer1, &QAction::toggled, this, Slot(this, &TfVokabar::Hrvatskoengleskismjer1Click));

    // The change event fires on the user's edits and picks from the list,
    // never when the program sets the text.
    connect(CBKljuc->lineEdit(), &QLineEdit::textEdited, this, Slot(this, &TfVokabar::CBKljucChange));
    connect(CBKljuc, qOverload<int>(&QComboBox::activated), this, Slot(this, &TfVokabar::CBKljucChange));

    auto* list = static_cast<TWordsListView*>(WordsList);
    connect(list, &TWordsListView::mouseUp, this, Slot(this, &TfVokabar::WordsListMouseUp));
    connect(list, &TWordsListView::keyUp, this, Slot(this, &TfVokabar::WordsListKeyUp));

    connect(RichEdit1->verticalScrollBar(), &QScrollBar::valueChanged, this, &TfVokabar::scrolledTo);
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        PopupMenu1->popup(RichEdit1->viewport()->mapToGlobal(at));
    });
}

void TfVokabar::setTabOrder()
{
    QWidget::setTabOrder(CBKljuc, BPojamSearch);
    QWidget::setTabOrder(BPojamSearch, beng);
    QWidget::setTabOrder(beng, bSve);
    QWidget::setTabOrder(bSve, CBMatchCase);
    QWidget::setTabOrder(CBMatchCase, WordsList);
    QWidget::setTabOrder(WordsList, RichEdit1);
}

void TfVokabar::guardShortcuts()
{
    // Text fields claim Ctrl+A, Ctrl+C (and Ctrl+K on this platform) for
    // themselves; the window's commands must win wherever the focus is.
    for (QWidget* widget : findChildren<QWidget*>())
        widget->installEventFilter(this);
}

bool TfVokabar::needsWholeResult(QObject* watched, QEvent* event) const
{
    if (event->type() == QEvent::KeyPress && watched == RichEdit1) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::MoveToEndOfDocument) || key->matches(QKeySequence::SelectEndOfDocument))
            return true;
        // Paging or stepping down within a page of what has been read.
        const QScrollBar* bar = RichEdit1->verticalScrollBar();
        const bool down = key->matches(QKeySequence::MoveToNextPage) || key->matches(QKeySequence::SelectNextPage)
                       || key->matches(QKeySequence::MoveToNextLine) || key->matches(QKeySequence::SelectNextLine);
        return down && bar->value() + 2 * bar->pageStep() >= bar->maximum();
    }
    if (event->type() == QEvent::MouseMove && watched == RichEdit1->viewport())
        return static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton;
    return false;
}

void TfVokabar::scrolledTo(int value)
{
    // The scroll bar taken to the bottom of what has been read means the end
    // of the result: it gets there once the rest is read.
    QScrollBar* bar = RichEdit1->verticalScrollBar();
    if (!loader_->Loading() || value < bar->maximum() || bar->maximum() == 0)
        return;
    QTimer::singleShot(0, this, [this] {
        errorguard::Run([this] {
            QScrollBar* bar = RichEdit1->verticalScrollBar();
            if (loader_->Loading() && bar->value() == bar->maximum() && loader_->FinishForCommand(this))
                bar->setValue(bar->maximum());
        });
    });
}

bool TfVokabar::eventFilter(QObject* watched, QEvent* event)
{
    // A suggested headword: the hand over it, a click searches for it.
    if (loader_ != nullptr && watched == RichEdit1->viewport()
        && (event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonRelease)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QString href = RichEdit1->anchorAt(mouse->position().toPoint());
        const bool suggestion = href.startsWith(kSuggestionScheme);
        if (event->type() == QEvent::MouseMove && mouse->buttons() == Qt::NoButton)
            RichEdit1->viewport()->setCursor(suggestion ? Qt::PointingHandCursor : Qt::IBeamCursor);
        if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton && suggestion
            && !RichEdit1->textCursor().hasSelection()) {
            const QString headword =
                QUrl::fromPercentEncoding(href.mid(kSuggestionScheme.size()).toUtf8());
            QTimer::singleShot(0, this, [this, headword] {
                errorguard::Run([this, headword] {
                    setComboText(headword);
                    BPojamSearchClick();
                });
            });
        }
    }

    // Cancelled, the command is not carried out on half a result.
    if (loader_ != nullptr && loader_->Loading() && needsWholeResult(watched, event)
        && !loader_->FinishForCommand(this))
        return true;
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeySequence pressed(key->keyCombination());
        for (QAction* action : actions()) {
            if (action->isEnabled() && action->shortcut() == pressed) {
                // Not claimed: the shortcut map gives the key to the action.
                event->ignore();
                return true;
            }
        }
        break;
    }
    case QEvent::KeyPress: {
        // Enter presses the default button, except in the view, which keeps
        // Enter for itself, and in the open drop-down list, which picks.
        auto* key = static_cast<QKeyEvent*>(event);
        if (IsEnterKey(key) && (watched == CBKljuc || watched == WordsList || watched == bSve
                                || watched == beng || watched == CBMatchCase)) {
            BPojamSearch->click();
            return true;
        }
        break;
    }
    case QEvent::FocusIn: {
        // Tabbing into the two modes lands on the chosen one, as in a group
        // of radio buttons only the checked one is a tab stop.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if ((watched == bSve || watched == beng)
            && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)) {
            QRadioButton* chosen = bSve->isChecked() ? bSve : beng;
            if (watched != chosen && chosen->isChecked())
                chosen->setFocus(reason);
        }
        break;
    }
    case QEvent::Paint:
        // Once the view is on screen, before the user has typed.
        if (!warmedUp_ && watched == RichEdit1->viewport()) {
            warmedUp_ = true;
            QTimer::singleShot(0, this, [this] { errorguard::Run([this] { warmUpView(); }); });
            QTimer::singleShot(0, this, [this] { errorguard::Run([this] { setUpDirection(); }); });
            // The word forms' dictionaries are first needed at a typed word
            // no headword begins with: they load meanwhile, off the window.
            SharedWordForms().StartLoading();
            engine_.PrepareWordForms();
        }
        // The list's glyphs, drawn once in the colour of its background
        // before the list paints itself over them (warmUpView).
        if (!listGlyphs_.isEmpty() && watched == WordsList->viewport()) {
            QPainter painter(WordsList->viewport());
            painter.setFont(WordsList->font());
            painter.setPen(WordsList->palette().color(QPalette::Base));
            painter.drawText(WordsList->viewport()->rect(), Qt::TextWordWrap, listGlyphs_);
            listGlyphs_.clear();
        }
        break;
    case QEvent::Resize:
        if (watched == pTrazi)
            GroupBox1->move(pTrazi->width() - GroupBox1->width(), 0);
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfVokabar::readSettings()
{
    const SearchOptions options = searchsettings::LoadOptions();
    {
        // Taken from the settings, not changed: nothing to save back.
        const QSignalBlocker a(Zanemaridijakritikeznakove1), b(Samocijeleriei1), c(Samopravnipojmovi1);
        Zanemaridijakritikeznakove1->setChecked(options.ignoreDiacritics);
        Samocijeleriei1->setChecked(options.wholeWords);
        Samopravnipojmovi1->setChecked(options.legalOnly);
        const QSignalBlocker d(Svioblicirijei1);
        Svioblicirijei1->setChecked(options.allForms);
        const QSignalBlocker best(Najprijenajboljipogoci1);
        Najprijenajboljipogoci1->setChecked(options.bestFirst);
    }
    StatusPanel2->setText(SearchOptionsSummary(options));
    // A settings file that is a device, a FIFO or huge is left alone; the
    // user learns why the options will not last, and nothing more.
    const QString settingsProblem = searchsettings::Problem();
    if (!settingsProblem.isEmpty())
        StatusBar1->showMessage(settingsProblem, kSettingsNoteMs);

    const QStringList history = searchsettings::LoadHistory();
    if (history.isEmpty())
        return;
    // The edit field keeps its initial text, selected, as without history.
    QLineEdit* edit = CBKljuc->lineEdit();
    const QString text = edit->text();
    CBKljuc->addItems(history);
    CBKljuc->setCurrentIndex(-1);
    edit->setText(text);
    edit->selectAll();
}

void TfVokabar::writeSettings()
{
    // The history is written as each term joins it (appendHistory): a
    // program that is killed loses nothing, and the list of another instance
    // that closed meanwhile stays.
    searchsettings::SaveOptions(searchOptions());
    searchsettings::SaveCroatianEnglish(croatianEnglish_);
}

void TfVokabar::closeEvent(QCloseEvent* event)
{
    // The program ends: whatever the view still takes in is not wanted.
    loader_->Cancel();
    QMainWindow::closeEvent(event);
    writeSettings();
    // A print or PDF export still running is cancelled (its file goes), and
    // the program ends once it has stopped: ending it now would find the
    // progress window still open, and the quit would be refused, leaving a
    // process without windows.
    if (QRRezultatPretrage != nullptr && QRRezultatPretrage->Busy()) {
        QRRezultatPretrage->CancelRun();
        emitClosedWhenReportEnds();
        return;
    }
    emit closed();
}

void TfVokabar::emitClosedWhenReportEnds()
{
    QTimer::singleShot(kReportEndPollMs, this, [this] {
        if (QRRezultatPretrage != nullptr && QRRezultatPretrage->Busy())
            emitClosedWhenReportEnds();
        else
            emit closed();
    });
}

void TfVokabar::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    // The designed size is the outer one: take the frame off the client area.
    const QSize frame = frameGeometry().size() - geometry().size();
    if (!frame.isEmpty() && frame != QSize(0, 0))
        resize(kWindowSize - frame);
    move(0, 0);
}

void TfVokabar::warmUpView()
{
    // The first entry shown used to cost several times any later one: fonts
    // opened, the shaper set up, glyphs measured and drawn for the first
    // time, the view's own first load and paint. The same done now, before
    // the user has typed, and undone unseen; not once the user has been
    // shown something, as then it is done already.
    if (documentsShown_ != 0)
        return;
    const QByteArray characters = CodePageCharacters();

    // The list shows new letters when it jumps to a headword.
    listGlyphs_ = cp1250::ToUnicode(std::string_view(characters.constData(), size_t(characters.size())));
    WordsList->viewport()->repaint();

    // The view: a few entries and every character in each style the entries
    // use, drawn in the colour of the background (glyphs are kept per font
    // and size, whatever their colour), then taken away. The scroll bar is
    // not redrawn meanwhile, so nothing shows.
    QScrollBar* scrollBar = RichEdit1->verticalScrollBar();
    scrollBar->setUpdatesEnabled(false);
    loader_->Load(WarmUpDocument(store_.EntryLines(), characters));
    loader_->Finish();
    QTextCursor all(RichEdit1->document());
    all.select(QTextCursor::Document);
    QTextCharFormat unseen;
    unseen.setForeground(RichEdit1->palette().color(QPalette::Base));
    all.mergeCharFormat(unseen);
    RichEdit1->viewport()->repaint();
    RichEdit1->document()->clear();
    RichEdit1->viewport()->repaint();
    scrollBar->setUpdatesEnabled(true);
}

void TfVokabar::setUpDirection()
{
    const QString missing = croatian_.MissingFile();
    if (!missing.isEmpty()) {
        Hrvatskoengleskismjer1->setEnabled(false);
        Hrvatskoengleskismjer1->setToolTip(
            QStringLiteral("Hrvatsko-engleski smjer nije dostupan: nedostaje datoteka \"%1\"").arg(missing));
        return;
    }
    // The direction of the last run; the switch loads the pair.
    if (searchsettings::LoadCroatianEnglish() && !croatianEnglish_) {
        Hrvatskoengleskismjer1->setChecked(true);
        return;
    }
    // Unpacked ahead on a worker, once the user has had the window for a
    // moment, so that the first switch only takes it over.
    QTimer::singleShot(kPrepareCroatianPairMs, this, [this] { croatian_.Prepare(); });
}

void TfVokabar::showDirection(bool croatianEnglish)
{
    croatianEnglish_ = croatianEnglish;
    engine_.UseStore(Store());
    headwords_->UseStore(Store());
    {
        const QSignalBlocker quiet(Hrvatskoengleskismjer1);
        Hrvatskoengleskismjer1->setChecked(croatianEnglish);
    }
    Hrvatskoengleskismjer1->setIconText(croatianEnglish ? QStringLiteral("HR→EN") : QStringLiteral("EN→HR"));
    // The button's name is its text, as for every tool-bar button; the
    // description says it in words.
    ToolBar1->widgetForAction(Hrvatskoengleskismjer1)
        ->setAccessibleDescription(croatianEnglish ? QStringLiteral("Smjer rječnika: hrvatsko-engleski")
                                                   : QStringLiteral("Smjer rječnika: englesko-hrvatski"));
    beng->setText(croatianEnglish ? QStringLiteral("Pretraživanje &hrvatskih riječi")
                                  : QStringLiteral("Pretraživanje &engleskih riječi"));
    beng->setAccessibleDescription(
        QStringLiteral("Već tijekom upisivanja prelazi na prvu %1 riječ koja počinje pojmom")
            .arg(croatianEnglish ? QStringLiteral("hrvatsku") : QStringLiteral("englesku")));
    WordsList->setAccessibleName(croatianEnglish ? QStringLiteral("Hrvatski pojmovi")
                                                 : QStringLiteral("Engleski pojmovi"));
    BPojamSearch->setAccessibleDescription(
        QStringLiteral("Traži pojam u cijelom rječniku ili među %1 riječima, prema odabranoj opciji")
            .arg(croatianEnglish ? QStringLiteral("hrvatskim") : QStringLiteral("engleskim")));
    // The word typed in headword mode is looked up among the new headwords.
    if (!wholeDictionaryMode() && comboText() != kInitialComboText)
        engine_.CBKljucChange();
}

// --- Event handlers ---------------------------------------------------------

void TfVokabar::FormCreate()
{
    // The unpacked dictionary of an earlier run, when it fits the files as
    // they are now: the same lines, without unpacking (most of the start).
    if (cache_ && cache_->Fill(store_)) {
        headwords_->Reload();
        return;
    }
    // Whatever loaded before an error stays, and the list shows it.
    bool clean = true;
    try {
        store_.Load(DictionaryStore::IndexFileName, DictionaryStore::EntryFileName,
                    [&clean](const Exception& problem) {
                        clean = false;
                        errorguard::Report(problem.what());
                    },
                    &codecHost_, dataFiles_);
    } catch (...) {
        headwords_->Reload();
        throw;
    }
    headwords_->Reload();
    // Kept for the next start once this one has shown its window; only a
    // whole, consistent pair is kept.
    if (clean && cache_)
        QTimer::singleShot(0, this, [this] { cache_->Save(store_); });
}

void TfVokabar::runSearchCommand(void (SearchEngine::*command)())
{
    const int shownBefore = documentsShown_;
    highlighter_->Clear();
    (engine_.*command)();
    // A whole-dictionary search that got through shows its document; its
    // term is then marked in the view, in the forms the options let it find.
    if (documentsShown_ == shownBefore || !wholeDictionaryMode())
        return;
    searchResultShown_ = true;
    markSearchTerm();
}

void TfVokabar::markSearchTerm()
{
    const SearchOptions options = searchOptions();
    if (options.allForms)
        highlighter_->SetExpression(engine_.SearchTermText(), engine_.FormsExpression());
    else if (options.ignoreDiacritics || options.wholeWords)
        highlighter_->SetExpression(engine_.SearchTermText(),
                                    MatchExpression(engine_.SearchTermText(), matchCase(), options));
    else
        highlighter_->SetTerm(engine_.SearchTermText(), matchCase());
}

void TfVokabar::BPojamSearchClick()
{
    runSearchCommand(&SearchEngine::RunSearch);
}

void TfVokabar::Trai2Click()
{
    runSearchCommand(&SearchEngine::RunSearch);
}

void TfVokabar::Trai1Click()
{
    runSearchCommand(&SearchEngine::Trai1Click);
}

void TfVokabar::CBKljucChange()
{
    engine_.CBKljucChange();
}

void TfVokabar::WordsListMouseUp()
{
    engine_.ShowEntry(selectedHeadword());
}

void TfVokabar::WordsListKeyUp()
{
    engine_.ShowEntry(selectedHeadword());
}

void TfVokabar::Copy1Click()
{
    const QTextCursor selection = RichEdit1->textCursor();
    if (selection.hasSelection() && selection.selectionStart() == 0
        && selection.selectionEnd() >= RichEdit1->document()->characterCount() - 1
        && (loader_->Loading() || loader_->Source().size() > kWholeCopyFromSourceBytes)) {
        copyWholeResult();
        return;
    }
    if (zoom_->Factor() == 1.0 || !selection.hasSelection()) {
        richtext::copySelection(selection, QApplication::clipboard());
        return;
    }
    // Zoomed: the clipboard gets the text at the document's own sizes.
    const std::unique_ptr<QTextDocument> own(zoom_->DocumentAtOwnSize());
    QTextCursor same(own.get());
    same.setPosition(selection.selectionStart());
    same.setPosition(selection.selectionEnd(), QTextCursor::KeepAnchor);
    richtext::copySelection(same, QApplication::clipboard());
}

void TfVokabar::copyWholeResult()
{
    // All of the result, also what the view has not taken in yet, read
    // from the document itself: a result of hundreds of thousands of
    // entries is never laid out for it. The document is the clipboard's RTF.
    const QByteArray source = loader_->Source();
    richtext::RtfTextReader reader(source);
    // Steps bounded by time, not by size: on a loaded machine a megabyte
    // took 90 ms, too long for the window to wait between events.
    const bool read = longtask::Run(this, QStringLiteral("Kopiranje rezultata pretrage..."), [&](double& progress) {
        QElapsedTimer slice;
        slice.start();
        bool done = false;
        while (!done && slice.elapsed() < kCopySliceMs)
            done = reader.step(kCopyChunkBytes);
        progress = reader.progress();
        return done;
    });
    if (!read)
        return;
    auto* data = new QMimeData;
    data->setText(reader.take());
    if (richtext::looksLikeRtf(source)) {
        data->setData(QStringLiteral("text/rtf"), source);
        data->setData(QStringLiteral("application/rtf"), source);
    }
    QApplication::clipboard()->setMimeData(data);
}

void TfVokabar::Oznaisve1Click()
{
    // All is all of the result: what the view has not taken in yet comes
    // into the selection as it arrives, and a copy meanwhile takes it from
    // the document itself (Copy1Click).
    QTextCursor cursor = RichEdit1->textCursor();
    richtext::selectAll(cursor);
    RichEdit1->setTextCursor(cursor);
}

void TfVokabar::KrajClick()
{
    close();
}

void TfVokabar::Print1Click()
{
    if (QRRezultatPretrage == nullptr)
        return;
    // Without a printer the print would do nothing at all; the user gets
    // told, and may keep the report as a PDF file instead.
    if (!TReportPrinter::PrinterInstalled()) {
        if (!QRRezultatPretrage->Busy() && dialogs::AskSaveAsPdfWithoutPrinter())
            SpremikaoPDF1Click();
        return;
    }
    // A copy: the print may process events, and a search meanwhile rebuilds
    // the document.
    const QByteArray shown = document_.Bytes();
    QRRezultatPretrage->PrintResult(engine_.SearchTermText(), engine_.HitCount(),
                                    QByteArray(shown.constData(), shown.size()), engine_.HitNote());
}

void TfVokabar::SpremikaoPDF1Click()
{
    if (QRRezultatPretrage == nullptr || QRRezultatPretrage->Busy())
        return;
    // The term and the document as they are now: the dialog and the run
    // process events, and a search meanwhile changes both.
    const QString term = engine_.SearchTermText();
    const int hits = engine_.HitCount();
    const QString note = engine_.HitNote();
    const QByteArray shown = document_.Bytes();
    const QByteArray result(shown.constData(), shown.size());

    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    const QString target = dialogs::AskPdfFileName(this, QDir(folder).filePath(SuggestedPdfFileName(term)));
    if (target.isEmpty())
        return;
    const TPdfSaveResult saved = SaveResultAsPdf(*QRRezultatPretrage, term, hits, result, target, note);
    if (saved.Outcome == TPdfSaveResult::TOutcome::Failed)
        dialogs::ShowSaveFailed(saved.Message);
}

void TfVokabar::Oprogramu1Click()
{
    if (AboutBox != nullptr)
        AboutBox->ShowAbout();
}

void TfVokabar::Uputezaradsprogramom1Click()
{
    ShowHelpContents(HelpFilePath(), this);
}

void TfVokabar::SearchOptionsChange()
{
    const SearchOptions options = searchOptions();
    StatusPanel2->setText(SearchOptionsSummary(options));
    searchsettings::SaveOptions(options);
    // The shown result, its count and a print of it agree with the options.
    if (searchResultShown_ && wholeDictionaryMode() && options != engine_.ResultOptions()) {
        highlighter_->Clear();
        engine_.RepeatSearch();
        searchResultShown_ = true;
        markSearchTerm();
    }
}

void TfVokabar::Hrvatskoengleskismjer1Click(bool croatianEnglish)
{
    if (croatianEnglish == croatianEnglish_ || switching_)
        return;
    if (croatianEnglish && !croatian_.Loaded()) {
        // The pair unpacks on a worker while the window goes on; the switch
        // waits for it and takes no second press meanwhile.
        std::string problem;
        switching_ = true;
        Hrvatskoengleskismjer1->setEnabled(false);
        const bool loaded = croatian_.Load(&codecHost_, problem);
        Hrvatskoengleskismjer1->setEnabled(true);
        switching_ = false;
        if (!loaded) {
            {
                const QSignalBlocker quiet(Hrvatskoengleskismjer1);
                Hrvatskoengleskismjer1->setChecked(false);
            }
            const QString missing = croatian_.MissingFile();
            if (!missing.isEmpty()) {
                Hrvatskoengleskismjer1->setEnabled(false);
                Hrvatskoengleskismjer1->setToolTip(
                    QStringLiteral("Hrvatsko-engleski smjer nije dostupan: nedostaje datoteka \"%1\"").arg(missing));
            }
            errorguard::Report(problem);
            return;
        }
    }
    // Kept at the end of the run (writeSettings): writing the settings file
    // would cost a switch more than the switch itself.
    showDirection(croatianEnglish);
}

void TfVokabar::Obriipovijesttraenja1Click()
{
    if (CBKljuc->count() == 0 || !dialogs::AskClearHistory())
        return;
    // The list goes, the text being typed stays.
    QLineEdit* edit = CBKljuc->lineEdit();
    const QString text = edit->text();
    CBKljuc->clear();
    if (edit->text() != text)
        edit->setText(text);
    searchsettings::SaveHistory({});
}

QString TfVokabar::HighlightedTerm() const
{
    return highlighter_->Term();
}

// --- SearchView ---------------------------------------------------------------

QString TfVokabar::comboText() const
{
    return CBKljuc->lineEdit()->text();
}

void TfVokabar::setComboText(const QString& text)
{
    CBKljuc->lineEdit()->setText(text);
}

void TfVokabar::appendHistory(const QString& term)
{
    // Adding the first item would make it current and put its text into the
    // edit field; the field keeps what it holds.
    QLineEdit* edit = CBKljuc->lineEdit();
    const QString text = edit->text();
    CBKljuc->addItem(term);
    searchsettings::AppendHistory(term);
    if (CBKljuc->currentIndex() != -1)
        CBKljuc->setCurrentIndex(-1);
    if (edit->text() != text)
        edit->setText(text);
}

void TfVokabar::selectAllComboText()
{
    CBKljuc->lineEdit()->selectAll();
}

bool TfVokabar::wholeDictionaryMode() const
{
    return bSve->isChecked();
}

bool TfVokabar::matchCase() const
{
    return CBMatchCase->isChecked();
}

SearchOptions TfVokabar::searchOptions() const
{
    SearchOptions options;
    options.ignoreDiacritics = Zanemaridijakritikeznakove1->isChecked();
    options.wholeWords = Samocijeleriei1->isChecked();
    options.legalOnly = Samopravnipojmovi1->isChecked();
    options.allForms = Svioblicirijei1->isChecked();
    options.bestFirst = Najprijenajboljipogoci1->isChecked();
    return options;
}

void TfVokabar::focusView()
{
    RichEdit1->setFocus(Qt::OtherFocusReason);
    // The edit field drops its selection when it loses the focus; the text
    // stays selected, so the next term typed there replaces it.
    CBKljuc->lineEdit()->selectAll();
}

void TfVokabar::showInputError(const QString& text)
{
    dialogs::ShowInputError(text);
}

void TfVokabar::selectHeadword(int index)
{
    const QModelIndex item = headwords_->index(index, 0);
    if (!item.isValid())
        return;
    WordsList->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
    WordsList->scrollTo(item, QAbstractItemView::PositionAtTop);
}

int TfVokabar::selectedHeadword() const
{
    const QModelIndexList selected = WordsList->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TfVokabar::showDocument(const QByteArray& document)
{
    searchResultShown_ = false;
    highlighter_->Clear();
    // The first screen now, the rest from the event loop (ResultViewLoader).
    loader_->Load(document);
    RichEdit1->moveCursor(QTextCursor::Start);
    RichEdit1->verticalScrollBar()->setValue(0);
    ++documentsShown_;
}

void TfVokabar::setStatusText(const QString& text)
{
    StatusPanel0->setText(text);
    // The count with the options that are on may not fit the panel: it
    // widens for it, and is as designed again without them.
    const int needed = StatusPanel0->fontMetrics().horizontalAdvance(text) + StatusPanel0->contentsMargins().left()
                     + StatusPanel0->contentsMargins().right() + 2 * StatusPanel0->frameWidth() + 4;
    StatusPanel0->setFixedWidth(std::max(kFirstPanelWidth, needed));
}

void TfVokabar::showSuggestions(const QStringList& headwords)
{
    // Above the empty result, as links that search for the headword.
    loader_->Finish();
    QTextCursor cursor(RichEdit1->document());
    cursor.movePosition(QTextCursor::Start);
    QTextCharFormat plain = cursor.charFormat();
    plain.setAnchor(false);
    cursor.insertText(QString::fromUtf8(SuggestionsPrefix), plain);
    for (qsizetype i = 0; i < headwords.size(); ++i) {
        QTextCharFormat link = plain;
        link.setAnchor(true);
        link.setAnchorHref(kSuggestionScheme + QString::fromUtf8(QUrl::toPercentEncoding(headwords[i])));
        link.setForeground(RichEdit1->palette().color(QPalette::Link));
        link.setFontUnderline(true);
        link.setToolTip(QStringLiteral("Traži \u201E%1\u201C").arg(headwords[i]));
        cursor.insertText(headwords[i], link);
        if (i + 1 < headwords.size())
            cursor.insertText(QStringLiteral(", "), plain);
    }
}

QString TfVokabar::selectedViewText() const
{
    return richtext::selectedPlainText(RichEdit1->textCursor());
}

#pragma once
// The main window fVokabar: search controls, the headword list, the rich-text
// view of the result document, tool bar, menus, popup menu and status bar.
//
// The window is thin: it loads the dictionary at creation (FormCreate), shows
// what the search engine asks through SearchView and routes every command to
// one handler. Every handler runs under the program's error guard.
#include "CodecHost.h"
#include "CroatianPair.h"
#include "DictionaryCache.h"
#include "DictionaryStore.h"
#include "ResultDocument.h"
#include "SearchEngine.h"
#include "SearchView.h"

#include <QMainWindow>

#include <memory>

class HeadwordModel;
class ResultViewLoader;
class TermHighlighter;
class ViewZoom;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class QRadioButton;
class QSplitter;
class QStatusBar;
class QTextEdit;
class QToolBar;

class TfVokabar : public QMainWindow, public SearchView {
    Q_OBJECT
public:
    // Builds the window at its designed size and place and loads the
    // dictionary from the working directory (FormCreate). Errors of the
    // loading are reported and the window opens with whatever loaded.
    // `dataFiles`, when given, holds the two files already being unpacked
    // (the start-up begins that before the splash).
    // dataFiles: the data files already being unpacked (Startup); cache: the
    // unpacked dictionary kept from an earlier run, opened when it fits the
    // files, and written after a clean load when it did not.
    explicit TfVokabar(QWidget* parent = nullptr, DataFilesInFlight* dataFiles = nullptr,
                       std::unique_ptr<DictionaryCache> cache = nullptr);
    ~TfVokabar() override;

    // Controls, under their designed names.
    QToolBar* ToolBar1;
    QWidget* pTrazi;
    QLabel* Label2;
    QComboBox* CBKljuc;
    QPushButton* BPojamSearch;
    QGroupBox* GroupBox1;
    QRadioButton* bSve;
    QRadioButton* beng;
    QCheckBox* CBMatchCase;
    QListView* WordsList;
    QSplitter* Splitter1;
    QTextEdit* RichEdit1;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel0;
    QLabel* StatusPanel1;
    QLabel* StatusPanel2;   // the search options that are on
    // Under the options box: a small check box for each search option, the
    // same as its menu item.
    QWidget* pOpcije;
    QMenu* PopupMenu1;

    // Menu items and commands. One action per command, shared by the menu,
    // the tool bar and the popup; popup items whose captions differ from the
    // menu's trigger the menu's action.
    QMenu* Program1;
    QMenu* Ureivanje1;
    QMenu* Trai3;           // "Tra&ži": the search command and its options
    QMenu* Pomo1;
    QAction* Print1;
    QAction* SpremikaoPDF1;
    QAction* Kraj;
    QAction* Kopiraj1;
    QAction* Oznaisve2;
    QAction* Trai2;
    QAction* ToolSearch;
    QAction* Uputezaradsprogramom1;
    QAction* Oprogramu1;
    QAction* Trai1;
    QAction* Copy1;
    QAction* Oznaisve1;
    // The search options (checkable, in the search menu and the popup) and
    // the clearing of the search history.
    QAction* Zanemaridijakritikeznakove1;
    QAction* Samocijeleriei1;
    QAction* Samopravnipojmovi1;
    QAction* Najprijenajboljipogoci1;
    QAction* Svioblicirijei1;
    QAction* Obriipovijesttraenja1;
    // The direction: checked is Croatian-English. Its tool-bar button shows
    // the direction in use ("EN→HR", "HR→EN").
    QAction* Hrvatskoengleskismjer1;

    // Event handlers.
    void FormCreate();
    void BPojamSearchClick();
    void Trai2Click();
    void Trai1Click();
    void CBKljucChange();
    void WordsListMouseUp();
    void WordsListKeyUp();
    void Copy1Click();
    void Oznaisve1Click();
    void KrajClick();
    void Print1Click();
    void SpremikaoPDF1Click();
    void Oprogramu1Click();
    void Uputezaradsprogramom1Click();
    void SearchOptionsChange();
    void Obriipovijesttraenja1Click();
    void Hrvatskoengleskismjer1Click(bool croatianEnglish);

    // The store of the direction in use.
    const DictionaryStore& Store() const { return croatianEnglish_ ? croatian_.Store() : store_; }
    bool CroatianEnglish() const { return croatianEnglish_; }
    ResultDocument& Document() { return document_; }
    SearchEngine& Engine() { return engine_; }
    // The term the view highlights (empty when none).
    QString HighlightedTerm() const;
    ViewZoom& Zoom() { return *zoom_; }
    // Puts documents into the view: the first screen at once, the rest in
    // slices between events.
    ResultViewLoader& ViewLoader() { return *loader_; }

    // SearchView
    QString comboText() const override;
    void setComboText(const QString& text) override;
    void appendHistory(const QString& term) override;
    void selectAllComboText() override;
    bool wholeDictionaryMode() const override;
    bool matchCase() const override;
    SearchOptions searchOptions() const override;
    void focusView() override;
    void showInputError(const QString& text) override;
    void selectHeadword(int index) override;
    int selectedHeadword() const override;
    void showDocument(const QByteArray& document) override;
    void setStatusText(const QString& text) override;
    void showSuggestions(const QStringList& headwords) override;
    QString selectedViewText() const override;

signals:
    // The window was closed by the user; the program ends.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void emitClosedWhenReportEnds();
    void showEvent(QShowEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createSearchPanel();
    void createOptionsRow();
    void createWorkArea();
    void createStatusBar();
    void wireHandlers();
    void setTabOrder();
    void guardShortcuts();
    // The search options and history of the last run, and saving them.
    void readSettings();
    void writeSettings();
    // Lays out and draws a few entries off screen, so that the first one the
    // user asks for is shown as fast as any other.
    void warmUpView();
    // Runs a search command and, when it searched the whole dictionary,
    // highlights its term in the view.
    void runSearchCommand(void (SearchEngine::*command)());
    // Marks the last whole-dictionary search's term in the view.
    void markSearchTerm();
    // The search options' actions, in menu order.
    QList<QAction*> searchOptionActions() const;
    // After the first paint: the switch learns whether the Croatian pair is
    // there, and the direction of the last run comes back.
    void setUpDirection();
    // Shows the list, the captions and the names of one direction.
    void showDirection(bool croatianEnglish);
    // The whole result on the clipboard, from the document rather than the
    // view: text and RTF.
    void copyWholeResult();
    // An event of the view that reaches past what it holds of a result
    // still coming in (to the end, a page down near it, a drag): the rest is
    // read before it is handled.
    bool needsWholeResult(QObject* watched, QEvent* event) const;
    void scrolledTo(int value);
    // Beyond this, a copy of all of a result is taken from its document.
    static constexpr qsizetype kWholeCopyFromSourceBytes = 4 << 20;

    std::unique_ptr<DictionaryCache> cache_;   // the mapping store_ may point into: made first
    DictionaryStore store_;
    CroatianPair croatian_;
    bool croatianEnglish_ = false;
    bool switching_ = false;     // the Croatian pair is being loaded
    ResultDocument document_;
    SearchEngine engine_;
    TAppCodecHost codecHost_;
    DataFilesInFlight* dataFiles_ = nullptr;   // only while FormCreate runs
    HeadwordModel* headwords_ = nullptr;
    TermHighlighter* highlighter_ = nullptr;
    ViewZoom* zoom_ = nullptr;
    ResultViewLoader* loader_ = nullptr;
    int documentsShown_ = 0;
    bool searchResultShown_ = false;   // the view shows a whole-dictionary result
    bool placed_ = false;
    bool warmedUp_ = false;
    QString listGlyphs_;   // drawn unseen at the list's next paint
};

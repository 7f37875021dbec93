#pragma once
// What the search engine needs of the main window. The window implements it
// with its widgets; tests implement it with a fake. Text crosses as Unicode;
// the engine converts to and from code page 1250 (cp1250::FromUnicode).
#include "SearchOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class SearchView {
public:
    virtual ~SearchView() = default;

    // CBKljuc: the combo box's edit text, set without firing its change event.
    virtual QString comboText() const = 0;
    virtual void setComboText(const QString& text) = 0;
    // Appends a term to the combo box's drop-down list (the search history).
    virtual void appendHistory(const QString& term) = 0;
    virtual void selectAllComboText() = 0;

    // bSve selected (whole-dictionary search) rather than beng (headwords).
    virtual bool wholeDictionaryMode() const = 0;
    // CBMatchCase ticked.
    virtual bool matchCase() const = 0;
    // The search options that are on. A view without them searches as the
    // program always did.
    virtual SearchOptions searchOptions() const { return SearchOptions(); }

    // Moves the keyboard focus to the rich-text view RichEdit1.
    virtual void focusView() = 0;

    // A modal message box captioned "Greška unosa", one OK button, no icon.
    virtual void showInputError(const QString& text) = 0;

    // WordsList: selects the item and makes it the top visible row (as far as
    // the list scrolls); the selected position, -1 when none.
    virtual void selectHeadword(int index) = 0;
    virtual int selectedHeadword() const = 0;

    // Replaces the view's content with the document (RTF with the plain-text
    // retry: LoadIntoDocument). The bytes are valid only during the call; a
    // view that shows a long document in parts keeps its own copy of them.
    // May raise Exception "Failed to Load Stream".
    virtual void showDocument(const QByteArray& document) = 0;

    // The first panel of the status bar.
    virtual void setStatusText(const QString& text) = 0;

    // After a whole-dictionary search that found nothing: headwords near the
    // term, best first ("Jeste li mislili: ..."), each offered to be searched
    // for. Never called with an empty list. A view without it shows nothing.
    virtual void showSuggestions(const QStringList& headwords) { (void)headwords; }

    // The text selected in the rich-text view (empty when nothing is).
    virtual QString selectedViewText() const = 0;
};

#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

class QPainter;

// A note is a reason, or a correct file's outcome shown with a green tick.
enum class noteKind { reason, success };

// The excerpt view: read-only text in one fixed-pitch face, no wrapping, the
// marked part in red and underlined. Only what is visible is laid out, so a
// line of millions of characters shows as fast as a short one. The text can
// be selected and copied; screen readers read it through its accessible
// text interface.
class excerptView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit excerptView(QWidget* parent);

    // Shows the text; a CR LF pair, an LF or a lone CR ends a line. The marked
    // range is in UTF-16 units of the text, CR and LF counting one each. The
    // caret starts at the marked part.
    void setExcerpt(const QString& text, qsizetype markStart, qsizetype markEnd);
    void setText(const QString& text) { setExcerpt(text, 0, 0); }
    void clear() { setText(QString()); }
    void clearMark();

    // A note under the line where the marked part ends, wrapped to the view's
    // width, as editors show a diagnostic inline: why the marked part breaks
    // the rules. Without text it stands at the top. The lines after it move
    // down; an empty note takes no room.
    void setNote(const QString& text, noteKind kind = noteKind::reason);
    // A line more under the note, which keeps its kind.
    void appendNote(const QString& line);
    // The note as a screen reader and a copy have it: the reason, then the
    // lines appended after it.
    QString note() const
    {
        return statusText.isEmpty() ? noteText
            : noteText.isEmpty()    ? statusText
                                    : noteText + QLatin1Char('\n') + statusText;
    }
    noteKind kindOfNote() const { return kindOfNoteText; }
    // The note's box in viewport coordinates; empty without a note.
    QRect noteRect() const;

    QString text() const { return content; }
    QString markedText() const { return content.mid(markStart, markEnd - markStart); }
    qsizetype markBegin() const { return markStart; }
    qsizetype markFinish() const { return markEnd; }

    // The selection in UTF-16 units of the text; empty when both are equal.
    void select(qsizetype anchor, qsizetype cursor);
    void selectAll() { select(0, content.size()); }
    qsizetype selectionStart() const { return std::min(selectionAnchor, selectionCursor); }
    qsizetype selectionEnd() const { return std::max(selectionAnchor, selectionCursor); }
    qsizetype cursorPosition() const { return selectionCursor; }
    QString selectedText() const { return content.mid(selectionStart(), selectionEnd() - selectionStart()); }
    // Puts the selection on the clipboard, its line breaks as LF.
    void copy() const;
    QString copiedText() const;

    // The text as a screen reader reads it, each line break one LF, and the
    // offsets between it and the text.
    qsizetype readLength() const;
    QString readPart(qsizetype from, qsizetype to) const;
    qsizetype toRead(qsizetype offset) const;
    qsizetype fromRead(qsizetype offset) const;

    // The colour of the marked part against the background, and against the
    // selection's background where the mark is selected.
    QColor markColour() const;
    QColor selectedMarkColour() const;
    // The box of a character in viewport coordinates.
    QRect characterRect(qsizetype offset) const;
    qsizetype offsetAt(const QPoint& viewportPoint) const;
    int lineCount() const { return static_cast<int>(lines.size()); }
    // The top of a line in this widget's coordinates while some of it is in
    // view.
    std::optional<qreal> lineTop(int line) const;
    qreal lineAscent() const;

    // Scrolls so that the place just behind the marked part is in view.
    void scrollToMarkEnd();

signals:
    void scrolled();
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The caret's box, where the Menu key and Shift+F10 open the menu.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct lineSpan {
        qsizetype start = 0; // first unit in the text
        qsizetype length = 0; // without the line break
        qsizetype readStart = 0; // first character in the text as read out
        bool hasTab = false; // columns and units differ only where a TAB stands
    };
    // A TAB moves to the next multiple of eight columns.
    qsizetype columnOf(const lineSpan& line, qsizetype offset) const;
    QString shownPart(const lineSpan& line, qsizetype fromColumn, qsizetype toColumn) const;
    void updateScrollBars();
    qreal characterWidth() const;
    int lineHeight() const;
    int noteAfter() const;
    // The columns a paint shows and the colour of the mark in it.
    struct shownColumns {
        qsizetype first;
        qsizetype last;
        QColor mark;
        QColor selectedMark;
        QColor selection;
        QColor selectedText;
    };
    void paintNote(QPainter& painter) const;
    void paintLine(QPainter& painter, int line, const shownColumns& shown) const;
    int lineOf(qsizetype offset) const;
    void moveCursor(qsizetype to, bool extend);
    qsizetype stepFrom(qsizetype offset, int step) const;
    void describedAnew();
    int noteHeight() const;
    int reasonHeight() const;
    int statusHeight() const;
    int signRoom() const;
    int contentTop(int line) const;
    int lineFrom(int y) const;
    qreal rowTop(int line) const;

    QString content;
    QString noteText;
    // What happened since the check (a save, a deleted file): below the
    // reason, upright, so that it is not read as part of it.
    QString statusText;
    noteKind kindOfNoteText = noteKind::reason;
    bool followMark = false; // scrollToMarkEnd placed the view, the user did not scroll since
    std::vector<lineSpan> lines;
    qsizetype markStart = 0;
    qsizetype markEnd = 0;
    qsizetype selectionAnchor = 0;
    qsizetype selectionCursor = 0;
    qsizetype widestLine = 0; // in columns
};

#include "accessibility.h"

#include "excerptView.h"
#include "mainWindow.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QScrollBar>

namespace {

// The excerpt as read-only, multi-line text: its characters through the text
// interface, the marked part and the reason in its description.
class excerptAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit excerptAccessible(excerptView* view)
        : QAccessibleWidget(view, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return view()->readPart(0, view()->readLength());
        if (kind == QAccessible::Description) {
            // Without lines, as after a correct file, there is no faulty
            // place to speak of: only the note is told.
            QStringList description;
            if (!view()->text().isEmpty())
                description << QAccessibleWidget::text(kind);
            if (!view()->markedText().isEmpty())
                description << QStringLiteral("Markiert ist „%1“.").arg(view()->markedText());
            if (!view()->note().isEmpty())
                description << view()->note();
            return description.join(QLatin1Char(' '));
        }
        return QAccessibleWidget::text(kind);
    }

    // Offsets here count the text as read out, each line break one LF.
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && selectionCount() == 1) {
            *start = read(view()->selectionStart());
            *end = read(view()->selectionEnd());
        }
    }
    int selectionCount() const override { return view()->selectionStart() != view()->selectionEnd() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { view()->select(view()->cursorPosition(), view()->cursorPosition()); }
    void setSelection(int, int start, int end) override
    {
        view()->select(view()->fromRead(start), view()->fromRead(end));
    }
    int cursorPosition() const override { return read(view()->cursorPosition()); }
    void setCursorPosition(int position) override { setSelection(0, position, position); }
    QString text(int start, int end) const override { return view()->readPart(start, end); }
    int characterCount() const override { return int(view()->readLength()); }
    QRect characterRect(int offset) const override
    {
        const QRect box = view()->characterRect(view()->fromRead(offset));
        return QRect(view()->viewport()->mapToGlobal(box.topLeft()), box.size());
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        return read(view()->offsetAt(view()->viewport()->mapFromGlobal(point)));
    }
    void scrollToSubstring(int start, int) override { setCursorPosition(start); }
    // The marked part is told apart by its colour and underline, in the
    // attribute names Qt's bridges pass on (IAccessible2's; AT-SPI gets them
    // as "fg-color" and "underline").
    QString attributes(int offset, int* start, int* end) const override
    {
        const int markStart = read(view()->markBegin()), markEnd = read(view()->markFinish());
        if (offset >= markStart && offset < markEnd) {
            *start = markStart;
            *end = markEnd;
            return QStringLiteral("text-underline-type:single;text-underline-style:solid;color:rgb(%1,%2,%3);")
                .arg(view()->markColour().red())
                .arg(view()->markColour().green())
                .arg(view()->markColour().blue());
        }
        *start = offset < markStart ? 0 : markEnd;
        *end = offset < markStart ? markStart : characterCount();
        return QString();
    }

private:
    excerptView* view() const { return static_cast<excerptView*>(widget()); }
    int read(qsizetype offset) const { return int(view()->toRead(offset)); }
};

// The numbers of the shown lines, as the column paints them: as its value
// and, for readers that go by characters or lines, as read-only text, one
// number a line.
class lineNumbersAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit lineNumbersAccessible(lineNumberColumn* column)
        : QAccessibleWidget(column, QAccessible::StaticText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return numbers().join(QLatin1Char(' '));
        return QAccessibleWidget::text(kind);
    }

    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }
    QRect characterRect(int) const override { return rect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override { }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return QString();
    }

private:
    QStringList numbers() const
    {
        return static_cast<lineNumberColumn*>(widget())->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    QString shown() const { return numbers().join(QLatin1Char('\n')); }
};

QAccessibleInterface* kavrinFactory(const QString& key, QObject* object)
{
    if (key == QLatin1String("excerptView"))
        return new excerptAccessible(static_cast<excerptView*>(object));
    if (key == QLatin1String("lineNumberColumn"))
        return new lineNumbersAccessible(static_cast<lineNumberColumn*>(object));
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(kavrinFactory), true);
    Q_UNUSED(installed);
}

#include "mainWindow.h"

#include "aboutBox.h"
#include "accessibility.h"
#include "codes.h"
#include "excerptDisplay.h"
#include "fileReport.h"
#include "readableColours.h"
#include "repair.h"
#include "resultText.h"
#include "terminalReport.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QtMath>

#include <cerrno>

namespace {

QString fromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

const QString hintText = QStringLiteral("Bitte überprüfen Sie eine fehlerhafte Datei erneut, bis die Meldung "
                                        "\"Datei korrekt. Tipps nun spielbar\" erscheint.");

// Where the shown violation stands among all that were found; when the check
// stopped at its limit, the count says that there are more.
const QString violationCountNote = QStringLiteral(" (Verstoß %1 von %2; F8: nächster)");
const QString violationsCutNote = QStringLiteral(" (Verstoß %1 von mehr als %2; F8: nächster)");

// The layout's heights are made for a font whose lines are 14 pixels apart,
// as the usual 9-point system fonts are at 96 dpi: the hint and the message
// hold two such lines. A larger font scales them, so that nothing is cut.
constexpr int referenceLineSpacing = 14;
// The line-number column is 65 pixels wide, or as wide as its widest number
// needs in a larger font; a number keeps this much room on either side.
constexpr int numberColumnWidth = 65;
constexpr int numberMargin = 3;

QString fileState(const QFileInfo& file)
{
    return file.exists()
        ? QString::number(file.size()) + QLatin1Char('@') + QString::number(file.lastModified().toMSecsSinceEpoch())
            + QLatin1Char('#') + QString::number(file.metadataChangeTime().toMSecsSinceEpoch())
        : QString();
}

// Why a file could not be written, in German whatever the system's language:
// the common causes by the system's error number, others as Qt words them.
const QString targetIsFolder = QStringLiteral("Unter diesem Namen steht ein Ordner.");
const QString noSuchFolder = QStringLiteral("Den Ordner gibt es nicht.");
const QString noPermission = QStringLiteral("Keine Berechtigung, dort zu schreiben.");
const QString readOnlyDisk = QStringLiteral("Der Datenträger ist schreibgeschützt.");
const QString diskFull = QStringLiteral("Auf dem Datenträger ist kein Platz mehr.");
const QString nameTooLong = QStringLiteral("Der Name ist zu lang.");
const std::pair<int, const QString&> writeErrorTexts[] = {
    { ENOENT, noSuchFolder },
    { ENOTDIR, noSuchFolder },
    { EACCES, noPermission },
    { EPERM, noPermission },
    { EROFS, readOnlyDisk },
    { ENOSPC, diskFull },
    { EDQUOT, diskFull },
    { ENAMETOOLONG, nameTooLong },
};

QString whyNotWritten(int cause, const QString& target, const QString& otherwise)
{
    if (QFileInfo(target).isDir())
        return targetIsFolder;
    for (const auto& [known, text] : writeErrorTexts)
        if (known == cause)
            return text;
    return otherwise;
}

QPlainTextEdit* readOnlyPane(QWidget* parent)
{
    auto* pane = new QPlainTextEdit(parent);
    pane->setReadOnly(true);
    pane->setFocusPolicy(Qt::ClickFocus);
    pane->setAcceptDrops(false);
    return pane;
}

} // namespace

// The main window's client area below the menu bar; W and H of the layout
// are its size.
class clientArea : public QWidget {
public:
    explicit clientArea(mainWindow* window)
        : QWidget(window)
        , window(window)
    {
        setMinimumSize(0, 0);
    }

protected:
    void resizeEvent(QResizeEvent*) override { window->layoutElements(width(), height()); }

private:
    mainWindow* window;
};

lineNumberColumn::lineNumberColumn(excerptView* excerpt, QWidget* parent)
    : QFrame(parent)
    , excerpt(excerpt)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    connect(excerpt, &excerptView::scrolled, this, [this] { update(); });
}

void lineNumberColumn::setNumbers(std::uint32_t first, std::uint32_t end, std::vector<std::size_t> lineBlocks)
{
    const int widthBefore = neededWidth();
    firstLine = first;
    endLine = end;
    blocks = std::move(lineBlocks);
    numbers = QString::fromStdString(kavrin::lineNumberText(first, end));
    update();
    if (neededWidth() != widthBefore)
        emit neededWidthChanged();
}

int lineNumberColumn::neededWidth() const
{
    const QFontMetricsF metrics(font());
    qreal widest = 0;
    for (std::uint32_t n = firstLine; n < endLine; ++n)
        widest = std::max(widest, metrics.horizontalAdvance(QString::number(n)));
    // The number's right edge stands numberMargin inside the last pixel.
    return std::max(numberColumnWidth, qCeil(widest) + 2 * (frameWidth() + numberMargin) + 1);
}

void lineNumberColumn::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        emit neededWidthChanged();
}

void lineNumberColumn::clear() { setNumbers(1, 1, {}); }

void lineNumberColumn::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const int shift = mapFrom(window(), excerpt->mapTo(window(), QPoint(0, 0))).y();
    // A line that is partly scrolled out of the excerpt is cut where it is.
    const QRect shown = excerpt->viewport()->geometry().translated(0, shift);
    painter.setClipRect(contentsRect() & QRect(0, shown.top(), width(), shown.height()));
    const QFontMetricsF ownMetrics(font());
    const qreal right = contentsRect().right() - numberMargin;
    std::size_t index = 0;
    for (std::uint32_t n = firstLine; n < endLine && index < blocks.size(); ++n, ++index) {
        const std::optional<qreal> top = excerpt->lineTop(static_cast<int>(blocks[index]));
        if (!top)
            continue;
        const QString label = QString::number(n);
        painter.drawText(
            QPointF(right - ownMetrics.horizontalAdvance(label), shift + *top + excerpt->lineAscent()), label);
    }
}

mainWindow::mainWindow(const QString& commandLine, QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Kavrin"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/kavrin.png")));
    setAcceptDrops(true);
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    createMenus();
    createElements();
    describeElements();
    watchForSaves();
    connectCommands();

    fileDialog = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(
            owner, QString(), QString(), QStringLiteral("TZV-System Files (*.tzv);;Alle Dateien (*)"));
    };
    repairDialog = [](QWidget* owner, const QString& summary, const QString& changes) {
        QMessageBox ask(QMessageBox::Question, QStringLiteral("Korrigierte Fassung speichern"), summary,
            QMessageBox::NoButton, owner);
        ask.setInformativeText(changes);
        ask.addButton(QStringLiteral("Speichern unter…"), QMessageBox::AcceptRole);
        ask.setDefaultButton(ask.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole));
        ask.exec();
        return ask.buttonRole(ask.clickedButton()) == QMessageBox::AcceptRole;
    };
    // The dialog asks before it replaces an existing file.
    saveDialog = [](QWidget* owner, const QString& suggested) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("Korrigierte Fassung speichern unter"), suggested,
            QStringLiteral("TZV-System Files (*.tzv);;Alle Dateien (*)"));
    };

    // A larger font starts a larger window, so that the texts wrap as they
    // do at the reference font; never larger than the screen.
    const qreal scale = std::max<qreal>(1, qreal(fontMetrics().lineSpacing()) / referenceLineSpacing);
    QSize start(qRound(740 * scale), qRound(326 * scale));
    if (scale > 1 && screen())
        start = start.boundedTo(screen()->availableSize());
    resize(start);
    if (!commandLine.isEmpty()) {
        nameEdit->setText(commandLine);
        runCheck();
    }
    hintEdit->setPlainText(hintText);
}

void mainWindow::createMenus()
{
    QMenu* fileMenu = menuBar()->addMenu(QStringLiteral("&Datei"));
    fileMenu->addAction(QStringLiteral("&Öffnen..."), this, &mainWindow::chooseFile);
    fileMenu->addSeparator();
    QAction* check = fileMenu->addAction(QStringLiteral("&Check"), this, &mainWindow::checkCommand);
    recheckAction = fileMenu->addAction(QStringLiteral("Bei Änderung &neu prüfen"));
    recheckAction->setCheckable(true);
    recheckAction->setChecked(true);
    // Steps the message and the excerpt through a file's violations.
    nextViolationAction = fileMenu->addAction(QStringLiteral("Nächs&ter Verstoß"), this, [this] { stepViolation(1); });
    nextViolationAction->setShortcut(QKeySequence(Qt::Key_F8));
    previousViolationAction
        = fileMenu->addAction(QStringLiteral("&Voriger Verstoß"), this, [this] { stepViolation(-1); });
    previousViolationAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8));
    // The result as kavrin-check prints it, with the code, for an e-mail.
    copyReportAction = fileMenu->addAction(QStringLiteral("Be&richt kopieren"), this, &mainWindow::copyReport);
    copyReportAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copyReportAction->setEnabled(false);
    addAction(copyReportAction);
    // A copy, never the checked file unless the user picks it and confirms.
    saveRepairedAction
        = fileMenu->addAction(QStringLiteral("&Korrigierte Fassung speichern unter…"), this, &mainWindow::saveRepaired);
    saveRepairedAction->setEnabled(false);
    for (QAction* step : { nextViolationAction, previousViolationAction }) {
        step->setEnabled(false);
        addAction(step); // its key works wherever the focus is in the window
    }
    fileMenu->addSeparator();
    fileMenu->addAction(QStringLiteral("&Beenden"), this, &QWidget::close);
    QMenu* helpMenu = menuBar()->addMenu(QStringLiteral("&Hilfe"));
    QAction* about = helpMenu->addAction(QStringLiteral("&Info..."), this, &mainWindow::showAbout);
    // The menus show the window's keys; the keys themselves are the window's
    // shortcuts (connectCommands), so these act only inside the open menu.
    check->setShortcut(QKeySequence(Qt::Key_F5));
    about->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Question));
    for (QAction* shown : { check, about })
        shown->setShortcutContext(Qt::WidgetShortcut);
}

void mainWindow::createElements()
{
    auto* client = new clientArea(this);
    setCentralWidget(client);
    hintEdit = readOnlyPane(client);
    nameEdit = new QLineEdit(client);
    nameEdit->setPlaceholderText(QStringLiteral("Datei wählen, Namen eingeben oder Datei hierher ziehen"));
    adjustPlaceholder();
    nameEdit->setFocusPolicy(Qt::StrongFocus);
    nameEdit->setAcceptDrops(false);
    checkButton = new QPushButton(QStringLiteral("CHECK"), client);
    checkButton->setAutoDefault(true);
    checkButton->setDefault(true);
    checkButton->setFocusPolicy(Qt::StrongFocus);
    checkButton->setToolTip(QStringLiteral("Prüfen (F5)"));
    messageEdit = readOnlyPane(client);
    // Reached with F6, the message can be selected and copied by keyboard.
    messageEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    excerptEdit = new excerptView(client);
    lineNumberEdit = new lineNumberColumn(excerptEdit, client);
    setTabOrder(nameEdit, checkButton);
}

// The placeholder is the only instruction on first start: it must read, on
// every palette and after every change of it; in an inactive window too,
// whose colours a palette may give apart.
void mainWindow::adjustPlaceholder()
{
    QPalette theme = QApplication::palette(nameEdit);
    QPalette shown = nameEdit->palette();
    for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive }) {
        theme.setCurrentColorGroup(group);
        shown.setColor(group, QPalette::PlaceholderText, readablePlaceholder(theme));
    }
    nameEdit->setPalette(shown);
}

void mainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        adjustPlaceholder();
}

void mainWindow::describeElements()
{
    installAccessibility();
    const struct {
        QWidget* element;
        const char* name;
        const char* description;
    } accessible[] = {
        { hintEdit, "Hinweis", "Wie man mit Kavrin eine Datei prüft." },
        { nameEdit, "Dateiname", "Name der Tippscheindatei, die geprüft wird." },
        { checkButton, "CHECK", "Prüft die genannte Datei." },
        { messageEdit, "Meldung", "Das Ergebnis der letzten Prüfung." },
        { lineNumberEdit, "Zeilennummern", "Die Nummern der Zeilen im Auszug." },
        { excerptEdit, "Auszug", "Die Zeilen um die fehlerhafte Stelle." },
    };
    for (const auto& element : accessible) {
        element.element->setAccessibleName(QString::fromUtf8(element.name));
        element.element->setAccessibleDescription(QString::fromUtf8(element.description));
    }
}

void mainWindow::watchForSaves()
{
    watcher = new QFileSystemWatcher(this);
    recheckTimer = new QTimer(this);
    recheckTimer->setSingleShot(true);
    recheckTimer->setInterval(recheckPause);
    connect(watcher, &QFileSystemWatcher::fileChanged, this, &mainWindow::fileChangedOnDisk);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &mainWindow::fileChangedOnDisk);
    connect(recheckTimer, &QTimer::timeout, this, &mainWindow::recheckAfterSave);
    // Switched on again, a file changed meanwhile is checked at once.
    connect(recheckAction, &QAction::toggled, this, [this](bool on) {
        if (!on)
            recheckTimer->stop();
        else if (!watchedPath.isEmpty())
            recheckAfterSave();
    });
}

void mainWindow::connectCommands()
{
    connect(nameEdit, &QLineEdit::returnPressed, this, &mainWindow::runCheck);
    // Typed back to the checked name, a file changed meanwhile is checked.
    connect(nameEdit, &QLineEdit::textEdited, this, [this](const QString& name) {
        if (!watchedPath.isEmpty() && name == checkedName)
            recheckAfterSave();
    });
    connect(checkButton, &QPushButton::clicked, this, &mainWindow::checkCommand);
    // A longer text may need more room at a large font, a longer number too.
    const auto relayout = [this] { layoutElements(centralWidget()->width(), centralWidget()->height()); };
    for (QPlainTextEdit* pane : { hintEdit, messageEdit })
        connect(pane, &QPlainTextEdit::textChanged, this, relayout);
    connect(lineNumberEdit, &lineNumberColumn::neededWidthChanged, this, relayout);
    // F5 checks wherever the focus is in the window; Alt+? and Alt+/ open the
    // About box as the menu does.
    auto* refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    connect(refresh, &QShortcut::activated, this, &mainWindow::runCheck);
    for (const QKeyCombination key : { Qt::ALT | Qt::Key_Question, Qt::ALT | Qt::Key_Slash }) {
        auto* about = new QShortcut(QKeySequence(key), this);
        connect(about, &QShortcut::activated, this, &mainWindow::showAbout);
    }
    // Tab keeps to the name and the button; F6 and Shift+F6 step through the
    // panes, as in other programs, so that the message and the excerpt can
    // be reached and copied (Ctrl+A, Ctrl+C) without a mouse.
    for (const auto& [key, step] :
        { std::pair { QKeyCombination(Qt::Key_F6), 1 }, std::pair { QKeyCombination(Qt::SHIFT | Qt::Key_F6), -1 } }) {
        auto* pane = new QShortcut(QKeySequence(key), this);
        connect(pane, &QShortcut::activated, this, [this, step = step] { focusPane(step); });
    }
    // Shift+F10 opens the focused element's context menu where the Menu key
    // would, at its caret.
    auto* contextMenu = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(contextMenu, &QShortcut::activated, this, [] {
        QWidget* focus = QApplication::focusWidget();
        if (!focus)
            return;
        const QPoint at = focus->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
        QContextMenuEvent open(QContextMenuEvent::Keyboard, at, focus->mapToGlobal(at));
        QApplication::sendEvent(focus, &open);
    });
}

void mainWindow::focusPane(int step)
{
    QWidget* const panes[] = { nameEdit, messageEdit, excerptEdit };
    constexpr int count = 3;
    int at = 0;
    while (at < count && !panes[at]->hasFocus())
        ++at;
    const int next = at == count ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
    panes[next]->setFocus(Qt::ShortcutFocusReason);
}

void mainWindow::layoutElements(int w, int h)
{
    // At the reference font the heights are 37, 20, 22 and 40 and everything
    // stands where it always stood; a larger font makes them taller.
    const qreal scale = std::max<qreal>(1, qreal(fontMetrics().lineSpacing()) / referenceLineSpacing);
    const auto scaled = [scale](int height) { return qRound(height * scale); };
    // Above the reference font a pane also grows to hold its text as wrapped
    // at the width it has, where the window is narrower than the text needs.
    const auto paneHeight = [&](const QPlainTextEdit* pane, int height) {
        if (scale <= 1)
            return height;
        const int chrome = 2 * pane->frameWidth() + 2 * qCeil(pane->document()->documentMargin());
        // Wrapped as if a scroll bar stood beside it, so that none is needed;
        // the pane keeps a pixel free below its last line.
        const int bar = pane->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, pane);
        const QRect room(0, 0, std::max(1, w - 20 - chrome - bar), QWIDGETSIZE_MAX);
        const int needed = QFontMetrics(pane->font()).boundingRect(room, Qt::TextWordWrap, pane->toPlainText()).height()
            + chrome + 2;
        return std::max(scaled(height), needed);
    };
    const int hintHeight = paneHeight(hintEdit, 37);
    const int messageHeight = paneHeight(messageEdit, 40);
    const int nameTop = 10 + hintHeight + 8;
    const int messageTop = nameTop + scaled(20) + 6;
    const int numbersTop = messageTop + messageHeight + 7;
    // The button is 60 wide, or as wide as its label needs inside the frame.
    const int frame = style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, checkButton)
        + 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, checkButton);
    const int buttonWidth = std::max(60, checkButton->fontMetrics().horizontalAdvance(checkButton->text()) + 2 * frame);
    hintEdit->setGeometry(10, 10, w - 20, hintHeight);
    nameEdit->setGeometry(10, nameTop, w - 30 - buttonWidth, scaled(20));
    checkButton->setGeometry(w - 10 - buttonWidth, nameTop - 1, buttonWidth, scaled(22));
    messageEdit->setGeometry(10, messageTop, w - 20, messageHeight);
    const int numbersWidth = lineNumberEdit->neededWidth();
    lineNumberEdit->setGeometry(10, numbersTop, numbersWidth, h - numbersTop - 11);
    excerptEdit->setGeometry(15 + numbersWidth, numbersTop - 2, w - 25 - numbersWidth, h - numbersTop - 8);
}

void mainWindow::checkCommand()
{
    if (nameEdit->text().isEmpty())
        chooseFile();
    runCheck();
}

void mainWindow::chooseFile()
{
    const QString chosen = fileDialog(this);
    if (chosen.isEmpty())
        return;
    nameEdit->setText(chosen);
    clearMarkAndNote();
    excerptEdit->clear();
    excerptEdit->repaint();
    lineNumberEdit->clear();
    lineNumberEdit->repaint();
    messageEdit->clear();
}

void mainWindow::clearMarkAndNote()
{
    excerptEdit->clearMark();
    excerptEdit->setNote(QString());
}

void mainWindow::runCheck()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    clearMarkAndNote();
    excerptEdit->setText(fromUtf8(kavrin::checkingText));
    excerptEdit->repaint();
    lineNumberEdit->clear();
    lineNumberEdit->repaint();
    messageEdit->clear();

    const std::string nameText = QFile::encodeName(nameEdit->text()).toStdString();
    setWindowTitle(QFile::decodeName(QByteArray::fromStdString(kavrin::windowTitle(nameText))));
    messageEdit->repaint();

    lastReport = kavrin::reportOf(nameText, kavrin::source::file(nameText), kavrin::defaultMaxViolations);
    const kavrin::fileReport& report = *lastReport;
    copyReportAction->setEnabled(true);
    // Offered where a violation may be repaired; the repair itself runs when
    // it is asked for.
    saveRepairedAction->setEnabled(report.checked.input
        && std::any_of(report.checked.violations.begin(), report.checked.violations.end(),
            [](const kavrin::violation& found) { return kavrin::mayBeRepairable(found.code); }));
    checkedName = nameEdit->text();
    watchCheckedFile(QFile::decodeName(QByteArray::fromStdString(report.checked.openedName)));
    excerptEdit->clear();
    if (report.valid()) {
        messageEdit->setPlainText(fromUtf8(report.message()));
        // A correct file says so set apart, with a tick, and what will be played.
        const QString note
            = fromUtf8(report.message()) + QLatin1Char('\n') + fromUtf8(kavrin::summaryText(report.checked.summary));
        excerptEdit->setNote(note, noteKind::success);
    }
    showViolation(0);
    QApplication::restoreOverrideCursor();
}

// The message pane, the reason and the excerpt of one of the violations;
// the first is shown as the check has always shown it.
void mainWindow::showViolation(std::size_t index)
{
    const std::size_t count = lastReport ? lastReport->checked.violations.size() : 0;
    nextViolationAction->setEnabled(count > 1);
    previousViolationAction->setEnabled(count > 1);
    if (index >= count)
        return;
    shownViolation = index;
    const kavrin::violation& shown = lastReport->checked.violations[index];
    clearMarkAndNote();
    excerptEdit->clear();
    lineNumberEdit->clear();
    messageEdit->setPlainText(fromUtf8(kavrin::withoutLineFeeds(shown.message)));
    // Without a name the message says it all; the reason would repeat it.
    if (shown.code != kavrin::codes::noFileName) {
        QString note = fromUtf8(kavrin::reasonLabel) + fromUtf8(shown.reason)
            + QStringLiteral(" [%1]").arg(fromUtf8(shown.code));
        if (count > 1)
            note += (lastReport->checked.violationsCut ? violationsCutNote : violationCountNote)
                        .arg(index + 1)
                        .arg(count);
        excerptEdit->setNote(note);
    }
    // Made when it is shown: a file with many violations keeps one excerpt.
    if (const std::optional<kavrin::excerptDisplay> excerpt = kavrin::excerptOf(*lastReport, index))
        showExcerpt(*excerpt);
}

void mainWindow::copyReport()
{
    if (!lastReport)
        return;
    std::string text = kavrin::humanReport(*lastReport, false);
    if (const kavrin::violation* first = lastReport->checked.first())
        text += "  Code: " + std::string(first->code) + "\n";
    QApplication::clipboard()->setText(fromUtf8(text));
}

// The bytes the check read are repaired; the changes are shown before
// anything is written, and the copy goes where the user says.
void mainWindow::saveRepaired()
{
    if (!lastReport || !lastReport->checked.input)
        return;
    const kavrin::repairResult repaired = kavrin::repairBytes(lastReport->checked.input.view());
    if (repaired.changes.empty()) {
        // Offered by the codes, but nothing was certain: said, not passed over.
        saveRepairedAction->setEnabled(false);
        QMessageBox::information(this, saveRepairedAction->text().remove(QLatin1Char('&')).remove(QStringLiteral("…")),
            fromUtf8(kavrin::repairSummaryText(0, repaired.violationsLeft, repaired.leftOut, repaired.moreLeft)));
        return;
    }
    constexpr int shownChanges = 12;
    QStringList lines;
    for (const kavrin::repairChange& change : repaired.changes) {
        if (lines.size() == shownChanges) {
            lines << QStringLiteral("… und %1 weitere").arg(repaired.changes.size() - shownChanges);
            break;
        }
        lines << QStringLiteral("• ") + fromUtf8(kavrin::changeText(change));
    }
    if (!repairDialog(this,
            fromUtf8(kavrin::repairSummaryText(
                repaired.changes.size(), repaired.violationsLeft, repaired.leftOut, repaired.moreLeft)),
            lines.join(QLatin1Char('\n'))))
        return;
    const QFileInfo checked(QFile::decodeName(QByteArray::fromStdString(lastReport->checked.openedName)));
    const QString suggested = checked.dir().filePath(
        QFile::decodeName(QByteArray::fromStdString(kavrin::repairedName(checked.fileName().toStdString()))));
    const QString target = saveDialog(this, suggested);
    if (target.isEmpty())
        return;
    QSaveFile out(target);
    errno = 0;
    if (!out.open(QIODevice::WriteOnly)
        || out.write(repaired.bytes.data(), qint64(repaired.bytes.size())) != qint64(repaired.bytes.size())
        || !out.commit()) {
        const int cause = errno;
        QMessageBox::critical(this, QStringLiteral("Korrigierte Fassung speichern"),
            QStringLiteral("Die Datei „%1“ ließ sich nicht schreiben: %2")
                .arg(target, whyNotWritten(cause, target, out.errorString())));
        return;
    }
    nameEdit->setText(target);
    runCheck();
}

void mainWindow::stepViolation(int step)
{
    if (!lastReport || lastReport->checked.violations.size() < 2)
        return;
    const auto count = static_cast<std::ptrdiff_t>(lastReport->checked.violations.size());
    showViolation(static_cast<std::size_t>((static_cast<std::ptrdiff_t>(shownViolation) + step + count) % count));
}

void mainWindow::showExcerpt(const kavrin::excerptDisplay& display)
{
    excerptEdit->setExcerpt(QString::fromStdU16String(display.text), qsizetype(display.highlightStart.units),
        qsizetype(display.highlightEnd.units));
    excerptEdit->scrollToMarkEnd();
    lineNumberEdit->setNumbers(display.firstLine, display.endLine, kavrin::lineStartBlocks(display.text, display.cut));
}

// Watches the checked name; a name that does not exist yet too, so that the
// file is checked when it appears.
void mainWindow::watchCheckedFile(const QString& path)
{
    const QFileInfo file(path);
    watchedPath = path.isEmpty() ? QString() : file.absoluteFilePath();
    watchedState = fileState(file);
    armWatcher();
}

// Watches the file and the folders on its path that exist, set anew on every
// change: an editor that saves by renaming a new file over the old one
// replaces the file the watch had, and a folder that is removed or renamed
// takes the watches inside it along. The nearest folder that exists hears
// when the path below it comes back.
void mainWindow::armWatcher()
{
    if (!watcher->files().isEmpty())
        watcher->removePaths(watcher->files());
    if (!watcher->directories().isEmpty())
        watcher->removePaths(watcher->directories());
    if (watchedPath.isEmpty())
        return;
    if (QFileInfo::exists(watchedPath))
        watcher->addPath(watchedPath);
    QStringList folders;
    for (QString folder = QFileInfo(watchedPath).absolutePath();; folder = QFileInfo(folder).absolutePath()) {
        if (QFileInfo(folder).isDir())
            folders << folder;
        if (QFileInfo(folder).absolutePath() == folder)
            break;
    }
    watcher->addPaths(folders);
}

void mainWindow::fileChangedOnDisk()
{
    if (watchedPath.isEmpty())
        return;
    armWatcher();
    if (recheckAction->isChecked())
        recheckTimer->start();
}

void mainWindow::recheckAfterSave()
{
    // Not while the name field holds another name than the one checked, and
    // not for a change elsewhere in the folder.
    if (!recheckAction->isChecked() || nameEdit->text() != checkedName
        || fileState(QFileInfo(watchedPath)) == watchedState)
        return;
    // Gone since the check: the result stays, said to be old, until a file
    // of that name is back.
    if (!QFileInfo::exists(watchedPath)) {
        watchedState.clear();
        excerptEdit->appendNote(QStringLiteral("Die Datei wurde gelöscht oder umbenannt. Das Ergebnis ist veraltet."));
        return;
    }
    runCheck();
    excerptEdit->appendNote(QStringLiteral("Nach dem Speichern neu geprüft um %1.")
                                .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

void mainWindow::showAbout()
{
    aboutBox box(this);
    box.move(centralWidget()->mapToGlobal(QPoint(0, 0)));
    box.exec();
}

// A dropped file is only read: the drop is always a copy, never a move that
// would let the source delete it.
void mainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile()
        && (event->possibleActions() & Qt::CopyAction)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

void mainWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    nameEdit->setText(urls.first().toLocalFile());
    runCheck();
}

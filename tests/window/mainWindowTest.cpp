#include "mainWindow.h"
#include "aboutBox.h"
#include "checkFiles.h"
#include "readableColours.h"

#include <QAccessible>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <functional>

using namespace kavrin::testing;

namespace {

const std::string broken = "<uvra>\n  <versionsNr>4.0</versionsNr>\n  <wsArt>47</wsArt>\n  <schein>\n"
                           "    <ziroTipp>05,12,18,33,41,46</ziroTipp>\n  </schein>\n</uvra>\n";
const std::string valid = "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>01,02,03,04,05,06"
                          "</ziroTipp></schein></uvra>";

QString path(const std::string& content, const char* name)
{
    return QString::fromStdString(writeTicketFile(content, name).string());
}

QString redText(const excerptView* view) { return view->markedText(); }

// The pixels of the excerpt painted in (about) colour, as a rectangle.
QRect paintedIn(excerptView* view, const QColor& colour)
{
    const QImage image = view->viewport()->grab().toImage();
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 56 && std::abs(c.green() - colour.green()) < 80
                && std::abs(c.blue() - colour.blue()) < 80)
                found |= QRect(x, y, 1, 1);
        }
    return found;
}

// The mark as painted, without the reason's error icon beside it.
QRect paintedRed(excerptView* view)
{
    const QString note = view->note();
    const noteKind kind = view->kindOfNote();
    view->setNote(QString());
    const QRect red = paintedIn(view, QColor(255, 0, 0));
    view->setNote(note, kind);
    return red;
}

// Closes the next modal dialog once it is open; returns its title by reference.
void closeNextDialog(QString& title, QString& texts)
{
    QTimer::singleShot(0, [&title, &texts] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        title = dialog->windowTitle();
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            texts += label->text() + "|";
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
}

// The entries of the context menu that a key opens in focus; the menu is
// closed again.
QStringList menuOpenedBy(QWidget* focus, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    focus->setFocus();
    QTest::keyClick(focus, key, modifiers);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QStringList entries;
    if (!menu)
        return entries;
    for (const QAction* entry : menu->actions())
        entries << entry->text();
    menu->close();
    return entries;
}

} // namespace

class mainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void layoutFollowsEveryResize();
    void textsMenusAndFocus();
    void checkFlowOnAPositionedViolation();
    void correctAndPositionlessOutcomes();
    void twoRunsLeaveNoOldRed();
    void keys();
    void aboutBox();
    void chooseFileAndTheEmptyName();
    void commandLineStart();
    void droppedFile();
    void umlautsAndNarrowExcerpts();
    void longLineScrollsToTheMark();
    void reasonShownAndCleared();
    void stepsThroughTheViolations();
    void aboutTextsFitAtLargeFonts();
    void cutMarkGetsItsNumber();
    void excerptCanBeCopied();
    void accessibleTree();
    void coloursReadOnEveryPalette();
    void heightsScaleWithTheFont();
    void recheckAfterRenameOverSave();
    void recheckWhenTheFileAppears();
    void recheckWhateverBecomesOfTheFolder();
    void textsFitAtEveryFont();
    void reasonScrollsIntoViewInASmallWindow();
    void savesACorrectedCopyOnlyWhereAsked();
    void panesReachedAndCopiedByKeyboard();
    void mnemonicsAndContextMenus();
};

void mainWindowTest::layoutFollowsEveryResize()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QSize size : { QSize(740, 326), QSize(1000, 600), QSize(300, 200), QSize(60, 40) }) {
        window.resize(size);
        QApplication::processEvents();
        const QWidget* client = window.centralWidget();
        const int w = client->width();
        const int h = client->height();
        QCOMPARE(window.size(), size);
        // A negative width or height shows as nothing, however the toolkit keeps it.
        const auto placed
            = [](const QWidget* element) { return QRect(element->pos(), element->size().expandedTo(QSize(0, 0))); };
        const auto formula
            = [](int x, int y, int width, int height) { return QRect(x, y, std::max(width, 0), std::max(height, 0)); };
        QCOMPARE(placed(window.hintEdit), formula(10, 10, w - 20, 37));
        QCOMPARE(placed(window.nameEdit), formula(10, 55, w - 90, 20));
        QCOMPARE(placed(window.checkButton), formula(w - 70, 54, 60, 22));
        QCOMPARE(placed(window.messageEdit), formula(10, 81, w - 20, 40));
        QCOMPARE(placed(window.lineNumberEdit), formula(10, 128, 65, h - 139));
        QCOMPARE(placed(window.excerptEdit), formula(80, 126, w - 90, h - 136));
        QCOMPARE(client->geometry().top(), window.menuBar()->geometry().bottom() + 1);
    }
}

void mainWindowTest::textsMenusAndFocus()
{
    mainWindow window;
    QCOMPARE(window.windowTitle(), QString("Kavrin"));
    QCOMPARE(window.size(), QSize(740, 326));
    QCOMPARE(window.hintEdit->toPlainText(),
        QString("Bitte überprüfen Sie eine fehlerhafte Datei erneut, bis die Meldung \"Datei korrekt. Tipps nun "
                "spielbar\" erscheint."));
    QCOMPARE(window.checkButton->text(), QString("CHECK"));
    QVERIFY(window.nameEdit->text().isEmpty());
    QVERIFY(window.hintEdit->isReadOnly() && window.messageEdit->isReadOnly());
    QVERIFY(!window.nameEdit->isReadOnly());

    QStringList menus;
    for (const QAction* menu : window.menuBar()->actions()) {
        QString entries = menu->text() + ":";
        for (const QAction* entry : menu->menu()->actions())
            entries += entry->isSeparator() ? QString("-,") : entry->text() + ",";
        menus << entries;
    }
    QCOMPARE(menus,
        QStringList({ "&Datei:&Öffnen...,-,&Check,Bei Änderung &neu prüfen,Nächs&ter Verstoß,&Voriger Verstoß,Be&richt "
                      "kopieren,&Korrigierte Fassung speichern unter…,-,&Beenden,",
            "&Hilfe:&Info...," }));
    const QList<QAction*> menuBar = window.menuBar()->actions();
    QCOMPARE(menuBar[0]->menu()->actions()[2]->shortcut().toString(), QString("F5"));
    QCOMPARE(menuBar[1]->menu()->actions()[0]->shortcut().toString(), QString("Alt+?"));

    for (QWidget* w : std::initializer_list<QWidget*> {
             window.hintEdit, window.messageEdit, window.excerptEdit, window.lineNumberEdit })
        QVERIFY(!(w->focusPolicy() & Qt::TabFocus));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.nameEdit->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.checkButton));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.nameEdit));

    const QFontMetrics excerptMetrics(window.excerptEdit->font());
    QCOMPARE(excerptMetrics.horizontalAdvance('i'), excerptMetrics.horizontalAdvance('W'));
    QCOMPARE(window.messageEdit->font(), QApplication::font());
}

void mainWindowTest::checkFlowOnAPositionedViolation()
{
    mainWindow window;
    window.show();
    const QString file = path(broken, "flow.tzv");
    window.nameEdit->setText(file);
    window.runCheck();
    QCOMPARE(window.windowTitle(), QString("Kavrin - flow.tzv"));
    QCOMPARE(window.messageEdit->toPlainText(),
        QString("Die Datei enthält in der Zeile 5, Spalte 30 Inhalte, die nicht der aktuellen "
                "XML-Schnittstellenbeschreibung entsprechen."));
    QCOMPARE(window.excerptEdit->text(),
        QString("  <versionsNr>4.0</versionsNr>\r\n  <wsArt>47</wsArt>\r\n  "
                "<schein>\r\n    <ziroTipp>05,12,18,33,41,46</ziroTipp>\r\n  "
                "</schein>\r\n</uvra>\r\n"));
    QCOMPARE(redText(window.excerptEdit), QString("46"));
    QCOMPARE(window.lineNumberEdit->text(), QString("2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n"));
    // Painted red: exactly the two digits on the fourth shown line.
    const QRect red = paintedRed(window.excerptEdit);
    const QFontMetricsF metrics(window.excerptEdit->font());
    const qreal column = metrics.horizontalAdvance('0');
    QVERIFY(!red.isEmpty());
    QVERIFY(red.left() >= 4 + 29 * column - 1 && red.right() <= 4 + 31 * column + 1);
    QVERIFY(red.top() >= 4 + 3 * metrics.lineSpacing() && red.bottom() < 4 + 4 * metrics.lineSpacing());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void mainWindowTest::correctAndPositionlessOutcomes()
{
    mainWindow window;
    window.nameEdit->setText(path(valid, "good.tzv"));
    window.runCheck();
    QCOMPARE(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."));
    QVERIFY(window.excerptEdit->text().isEmpty());
    QVERIFY(window.lineNumberEdit->text().isEmpty());

    window.nameEdit->setText("/nirgends/tipps.tzv");
    window.runCheck();
    QCOMPARE(window.windowTitle(), QString("Kavrin - tipps.tzv"));
    QCOMPARE(window.messageEdit->toPlainText(), QString("Konnte Datei nicht öffnen."));
    QVERIFY(window.excerptEdit->text().isEmpty());

    window.nameEdit->setText("\"" + path(valid, "quoted.tzv") + "\"");
    window.runCheck();
    QCOMPARE(window.windowTitle(), QString("Kavrin - quoted.tzv\""));
    QCOMPARE(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."));
}

void mainWindowTest::twoRunsLeaveNoOldRed()
{
    mainWindow window;
    const std::string twoErrors = "<uvra>\n<versionsNr>4.0</versionsNr>\n<wsArt>48</wsArt>\n";
    window.nameEdit->setText(path(broken, "first.tzv"));
    window.runCheck();
    window.runCheck();
    QCOMPARE(redText(window.excerptEdit), QString("46"));
    window.nameEdit->setText(path(twoErrors, "second.tzv"));
    window.runCheck();
    QCOMPARE(redText(window.excerptEdit), QString("48"));
}

void mainWindowTest::keys()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const QString file = path(broken, "keys.tzv");

    window.nameEdit->setText(file);
    window.nameEdit->setFocus();
    QTest::keyClick(window.nameEdit, Qt::Key_Return);
    QCOMPARE(window.windowTitle(), QString("Kavrin - keys.tzv"));

    window.setWindowTitle("x");
    window.checkButton->setFocus();
    QTest::keyClick(window.checkButton, Qt::Key_Return);
    QCOMPARE(window.windowTitle(), QString("Kavrin - keys.tzv"));

    for (QWidget* focus : std::initializer_list<QWidget*> { window.nameEdit, window.checkButton, window.excerptEdit }) {
        window.setWindowTitle("x");
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_F5);
        QCOMPARE(window.windowTitle(), QString("Kavrin - keys.tzv"));
    }

    window.setWindowTitle("x");
    QTest::keyClick(window.nameEdit, Qt::Key_Escape);
    QCOMPARE(window.windowTitle(), QString("x"));
    QVERIFY(window.isVisible());

    window.setWindowTitle("x");
    window.nameEdit->clear();
    QTest::keyClick(window.nameEdit, Qt::Key_Enter);
    QCOMPARE(window.windowTitle(), QString("Kavrin - "));
    QCOMPARE(window.messageEdit->toPlainText(), QString("Keine Datei angegeben."));
}

void mainWindowTest::aboutBox()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    for (const QKeyCombination key : { Qt::ALT | Qt::Key_Question, Qt::ALT | Qt::Key_Slash }) {
        QString title, texts;
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.nameEdit->setFocus();
        closeNextDialog(title, texts);
        QTest::keyClick(window.nameEdit, key.key(), key.keyboardModifiers());
        QCOMPARE(title, QString("Info über Kavrin"));
        QVERIFY(texts.startsWith(QStringLiteral("Kavrin, Version 02.11|")));
        QVERIFY(texts.contains("|Weitere Informationen entnehmen Sie bitte |der Schnittstellenbeschreibung auf "
                               "www.example.com.|Lizenz: MIT|"));
    }
    ::aboutBox box(&window);
    const QPushButton* ok = box.findChild<QPushButton*>();
    QCOMPARE(ok->text(), QString("OK"));
    QVERIFY(ok->isDefault());
}

void mainWindowTest::chooseFileAndTheEmptyName()
{
    mainWindow window;
    const QString chosen = path(broken, "chosen.tzv");
    int dialogs = 0;
    QString answer = chosen;
    window.fileDialog = [&](QWidget* owner) {
        ++dialogs;
        if (owner != &window)
            return QString();
        return answer;
    };

    window.nameEdit->setText(path(broken, "before.tzv"));
    window.runCheck();
    window.chooseFile();
    QCOMPARE(dialogs, 1);
    QCOMPARE(window.nameEdit->text(), chosen);
    QVERIFY(window.messageEdit->toPlainText().isEmpty());
    QVERIFY(window.excerptEdit->text().isEmpty());
    QVERIFY(window.lineNumberEdit->text().isEmpty());
    QCOMPARE(window.windowTitle(), QString("Kavrin - before.tzv")); // choosing does not check

    window.checkCommand();
    QCOMPARE(dialogs, 1); // a name is there: no dialog
    QCOMPARE(window.windowTitle(), QString("Kavrin - chosen.tzv"));

    window.nameEdit->clear();
    QTest::mouseClick(window.checkButton, Qt::LeftButton);
    QCOMPARE(dialogs, 2);
    QCOMPARE(redText(window.excerptEdit), QString("46"));

    answer.clear();
    window.nameEdit->clear();
    window.checkCommand();
    QCOMPARE(dialogs, 3);
    QCOMPARE(window.messageEdit->toPlainText(), QString("Keine Datei angegeben.")); // cancelled: checked anyway
}

void mainWindowTest::commandLineStart()
{
    const QString file = path(broken, "start.tzv");
    mainWindow window("\"" + file + "\"");
    QVERIFY(!window.isVisible());
    QCOMPARE(window.nameEdit->text(), "\"" + file + "\"");
    QCOMPARE(window.windowTitle(), QString("Kavrin - start.tzv\""));
    QCOMPARE(redText(window.excerptEdit), QString("46"));
    QVERIFY(!window.hintEdit->toPlainText().isEmpty());
}

void mainWindowTest::droppedFile()
{
    mainWindow window;
    window.show();
    const QString file = path(broken, "dropped.tzv");
    QMimeData data;
    data.setUrls({ QUrl::fromLocalFile(file) });
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QCOMPARE(window.nameEdit->text(), file);
    QCOMPARE(window.windowTitle(), QString("Kavrin - dropped.tzv"));
    QCOMPARE(redText(window.excerptEdit), QString("46"));
}

void mainWindowTest::umlautsAndNarrowExcerpts()
{
    mainWindow window;
    window.nameEdit->setText(path("<uvra>\r\n<!-- Müller -->\r\n<versionsNr>4.0</versionsNr>\r\n<wsÄrt>", "u.tzv"));
    window.runCheck();
    QCOMPARE(redText(window.excerptEdit), QString("<wsÄrt>"));
    QCOMPARE(window.lineNumberEdit->text(), QString("1\r\n2\r\n3\r\n4\r\n"));

    window.nameEdit->setText(path("<uvra><versionsNr>4.0</versionsNr><!-- ä -->", "n.tzv"));
    window.runCheck();
    QCOMPARE(window.excerptEdit->text(), QString("<uvra><versionsNr>4.0</versionsNr><!-- Ã¤ -->·"));
    QCOMPARE(redText(window.excerptEdit), QString("·"));
}

void mainWindowTest::longLineScrollsToTheMark()
{
    std::string line = "<uvra>";
    for (int i = 0; i < 400; ++i)
        line += "<!-- Kommentar -->";
    const QString file = path(line + "<versionX>4.0</versionX>" + line + "\n", "long.tzv");
    // Checked at start-up and once more: the same view, the mark in the middle.
    mainWindow window(file);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int atStart = window.excerptEdit->horizontalScrollBar()->value();
    window.runCheck();
    QCOMPARE(window.excerptEdit->horizontalScrollBar()->value(), atStart);
    QCOMPARE(redText(window.excerptEdit), QString("<versionX>"));
    const QRect red = paintedRed(window.excerptEdit);
    const int middle = window.excerptEdit->viewport()->width() / 2;
    QVERIFY2(red.left() <= middle + 4 && red.right() >= middle - 4, qPrintable(QString::number(red.left())));
    QCOMPARE(window.lineNumberEdit->text(), QString("1\r\n"));
}

// The reason stands in the excerpt under the marked line, the lines after it
// move down, and the next check takes it away.
void mainWindowTest::reasonShownAndCleared()
{
    mainWindow window;
    window.resize(740, 326);
    window.show();
    window.nameEdit->setText(path(broken, "reason.tzv"));
    window.runCheck();
    const QString reason
        = "Grund: 46 ist zu groß: Die Zahlen in <ziroTipp> liegen zwischen 01 und 45. [number-out-of-range]";
    QCOMPARE(window.excerptEdit->note(), reason);
    // The error icon stands before the reason, below the mark.
    QVERIFY(paintedIn(window.excerptEdit, QColor(255, 0, 0)).bottom() > paintedRed(window.excerptEdit).bottom());
    QVERIFY(window.excerptEdit->lineTop(4).value_or(0) - window.excerptEdit->lineTop(3).value_or(0)
        > 2 * window.excerptEdit->fontMetrics().lineSpacing());

    window.nameEdit->setText(path(valid, "reason-good.tzv"));
    window.runCheck();
    QVERIFY2(window.excerptEdit->note().startsWith("Datei korrekt. Tipps nun spielbar.\n1 Schein, 1 Tipp, Spielart 47"),
        qPrintable(window.excerptEdit->note()));
    QVERIFY(window.excerptEdit->kindOfNote() == noteKind::success);
    QVERIFY(!paintedIn(window.excerptEdit, readableGreen(Qt::white)).isEmpty());
    window.nameEdit->setText("/nirgends/tipps.tzv");
    window.runCheck();
    QVERIFY(window.excerptEdit->note().contains("gibt es nicht"));
    QVERIFY(window.excerptEdit->kindOfNote() == noteKind::reason);
}

// F8 and Shift+F8 step through every violation of the file; the first is
// shown as it always was.
void mainWindowTest::stepsThroughTheViolations()
{
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    const std::string twoFaults = "<uvra><versionsNr>4.0</versionsNr><wsArt>47</wsArt><schein><ziroTipp>01,02,03,04,05,"
                                  "46</ziroTipp><ziroTipp>01,02,03,04,41,33</ziroTipp></schein></uvra>";
    window.nameEdit->setText(path(twoFaults, "zwei.tzv"));
    window.runCheck();
    const QString first = window.messageEdit->toPlainText();
    QVERIFY(first.contains("Spalte 85"));
    QVERIFY(window.excerptEdit->note().endsWith("(Verstoß 1 von 2; F8: nächster)"));
    QTest::keyClick(window.nameEdit, Qt::Key_F8);
    QVERIFY(window.messageEdit->toPlainText().contains("Spalte 123"));
    QVERIFY(window.excerptEdit->note().contains("33 steht nach 41"));
    QTest::keyClick(window.nameEdit, Qt::Key_F8, Qt::ShiftModifier);
    QCOMPARE(window.messageEdit->toPlainText(), first);

    // More than the limit: the count says that the list was cut.
    std::string tickets;
    for (int i = 0; i < 100; ++i) {
        tickets += "<schein>";
        for (int k = 0; k < 12; ++k)
            tickets += "<ziroTipp>01,02,03,04,05,46</ziroTipp>";
        tickets += "</schein>";
    }
    window.nameEdit->setText(path(document47(tickets), "viele.tzv"));
    window.runCheck();
    QVERIFY(window.excerptEdit->note().endsWith("(Verstoß 1 von mehr als 1000; F8: nächster)"));
    QTest::keyClick(window.nameEdit, Qt::Key_F8, Qt::ShiftModifier);
    QVERIFY(window.excerptEdit->note().endsWith("(Verstoß 1000 von mehr als 1000; F8: nächster)"));
    window.nameEdit->setText(path(twoFaults, "zwei.tzv"));
    window.runCheck();

    // Datei > Bericht kopieren: the result as kavrin-check prints it, with the code.
    QTest::keyClick(window.nameEdit, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QString copied = QApplication::clipboard()->text();
    QVERIFY2(copied.contains("zwei.tzv:1:85: ") && copied.contains("  Grund: 46 ist zu groß") && copied.contains("^^")
            && copied.endsWith("  Code: number-out-of-range\n"),
        qPrintable(copied));
}

void mainWindowTest::aboutTextsFitAtLargeFonts()
{
    for (const qreal points : { 9.0, 18.0 }) {
        QWidget owner;
        QFont font = owner.font();
        font.setPointSizeF(points);
        owner.setFont(font);
        ::aboutBox box(&owner);
        QVERIFY(!(box.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        for (const QLabel* label : box.findChildren<QLabel*>()) {
            QVERIFY2(
                label->width() >= label->fontMetrics().horizontalAdvance(label->text()), qPrintable(label->text()));
            QVERIFY(label->geometry().right() < box.width());
        }
    }
}

void mainWindowTest::cutMarkGetsItsNumber()
{
    mainWindow window;
    window.nameEdit->setText(
        QString::fromStdString((std::string(KAVRIN_SOURCE_DIR) + "/tests/data/bad-long-mark.tzv")));
    window.runCheck();
    QVERIFY(window.excerptEdit->text().endsWith("..."));
    const QStringList numbers = window.lineNumberEdit->text().split("\r\n", Qt::SkipEmptyParts);
    const QRect last = paintedRed(window.excerptEdit);
    QCOMPARE(numbers.last(), QString("9"));
    // The column paints the number level with the "..." line.
    QVERIFY(window.excerptEdit->lineTop(window.excerptEdit->lineCount() - 1));
    QVERIFY(!last.isEmpty());
}

void mainWindowTest::excerptCanBeCopied()
{
    mainWindow window;
    window.show();
    window.nameEdit->setText(path(broken, "copy.tzv"));
    window.runCheck();
    excerptView* view = window.excerptEdit;
    view->setFocus();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(view->selectedText(), view->text());
    view->select(view->markBegin(), view->markBegin());
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("46"));
    // On X11 the selection is also ready for a middle click.
    if (QApplication::clipboard()->supportsSelection())
        QCOMPARE(QApplication::clipboard()->text(QClipboard::Selection), QString("46"));
    // The red range survives the selection, in a red that reads on it.
    QCOMPARE(redText(view), QString("46"));
    QVERIFY(!paintedIn(view, view->selectedMarkColour()).isEmpty());
}

void mainWindowTest::accessibleTree()
{
    mainWindow window;
    window.show();
    window.nameEdit->setText(path(broken, "accessible.tzv"));
    window.runCheck();
    for (QWidget* element : std::initializer_list<QWidget*> { window.hintEdit, window.nameEdit, window.checkButton,
             window.messageEdit, window.lineNumberEdit, window.excerptEdit }) {
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(element);
        QVERIFY(node);
        QVERIFY2(!node->text(QAccessible::Name).isEmpty(), element->metaObject()->className());
        QVERIFY(!node->text(QAccessible::Description).isEmpty());
    }
    QAccessibleInterface* excerpt = QAccessible::queryAccessibleInterface(window.excerptEdit);
    QAccessibleTextInterface* text = excerpt->textInterface();
    QVERIFY(text);
    // Read out, a line ends in LF alone; the caret starts at the mark.
    QCOMPARE(text->text(0, text->characterCount()), window.excerptEdit->text().replace("\r\n", "\n"));
    QCOMPARE(text->text(text->cursorPosition(), text->cursorPosition() + 2), QString("46"));
    QCOMPARE(text->text(-3, 1 << 20), text->text(0, text->characterCount())); // any range is cut to the text
    QVERIFY(text->text(1 << 20, 2).isEmpty());
    QVERIFY(excerpt->text(QAccessible::Description).contains("„46“"));
    QCOMPARE(
        QAccessible::queryAccessibleInterface(window.lineNumberEdit)->text(QAccessible::Value), QString("2 3 4 5 6 7"));
    QAccessibleTextInterface* numbers = QAccessible::queryAccessibleInterface(window.lineNumberEdit)->textInterface();
    QVERIFY(numbers);
    QCOMPARE(numbers->text(0, numbers->characterCount()), QString("2\n3\n4\n5\n6\n7"));
    // The mark as a run of attributes that the AT-SPI bridge knows.
    int from = 0, to = 0;
    const int markAt = text->cursorPosition();
    QVERIFY(text->attributes(markAt, &from, &to).startsWith("text-underline-type:single;"));
    QCOMPARE(text->text(from, to), redText(window.excerptEdit));
    // After a correct file the description tells the outcome, not a faulty place.
    window.nameEdit->setText(path(valid, "accessible-good.tzv"));
    window.runCheck();
    QVERIFY(excerpt->text(QAccessible::Description).startsWith("Datei korrekt. Tipps nun spielbar."));
}

// Every colour that the window adjusts reads on the palette's background:
// the palette's own where it reads at 4.5:1, else one at 4.7:1, so that its
// anti-aliased strokes still do. A selection stands out at 3:1.
void mainWindowTest::coloursReadOnEveryPalette()
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const auto ratio = [&](const QColor& a, const QColor& b) {
        const qreal x = luminance(a), y = luminance(b);
        return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
    };
    // A colour as it shows on background.
    const auto over = [](const QColor& c, const QColor& background) {
        const float a = c.alphaF();
        return QColor::fromRgbF(c.redF() * a + background.redF() * (1 - a),
            c.greenF() * a + background.greenF() * (1 - a), c.blueF() * a + background.blueF() * (1 - a));
    };
    const auto reads = [&](const QColor& shown, const QColor& wanted, const QColor& background) {
        return ratio(shown, background) >= (shown == wanted ? 4.5 : 4.7);
    };
    // White is the reference background, where the mark is pure red.
    QCOMPARE(readableRed(Qt::white), QColor(255, 0, 0));
    const struct {
        const char* name;
        QColor base, selection, selectedText, placeholder, inactiveBase;
    } palettes[] = {
        { "light", QColor(Qt::white), QColor(0x308CC6), QColor(Qt::white), QColor(0, 0, 0, 128), QColor(Qt::white) },
        { "dark", QColor(0x2A2A2A), QColor(0x303030), QColor(Qt::white), QColor(0x696969), QColor(0x2A2A2A) },
        { "high contrast", QColor(Qt::black), QColor(Qt::yellow), QColor(Qt::black), QColor(255, 255, 255, 128),
            QColor(Qt::black) },
        { "warm", QColor(0xFDF6E3), QColor(0xEEE8D5), QColor(0x93A1A1), QColor(0x93A1A1), QColor(0xFDF6E3) },
        { "grey", QColor(0x7F7F7F), QColor(0x2A82DA), QColor(Qt::white), QColor(0, 0, 0, 128), QColor(0x7F7F7F) },
        { "darker when inactive", QColor(0xC8C8C8), QColor(0x0986D3), QColor(Qt::white), QColor(0, 0, 0, 128),
            QColor(0x969696) },
    };
    const QPalette original = QApplication::palette();
    mainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const auto& row : palettes) {
        QPalette palette = original;
        palette.setColor(QPalette::Base, row.base);
        palette.setColor(QPalette::Highlight, row.selection);
        palette.setColor(QPalette::HighlightedText, row.selectedText);
        palette.setColor(QPalette::PlaceholderText, row.placeholder);
        palette.setColor(QPalette::Inactive, QPalette::Base, row.inactiveBase);
        QApplication::setPalette(palette);
        QApplication::processEvents(); // the window hears of it
        const QString at = row.name;
        const QColor mark = readableRed(row.base);
        QVERIFY2(row.base == Qt::white || reads(mark, Qt::red, row.base), qPrintable(at));
        QVERIFY2(mark.red() > mark.green() && mark.green() == mark.blue(), qPrintable(at)); // still a red
        QVERIFY2(reads(readableGreen(row.base), QColor(0, 128, 0), row.base), qPrintable(at));
        for (const auto& [group, base] :
            { std::pair { QPalette::Active, row.base }, { QPalette::Inactive, row.inactiveBase } }) {
            const QColor placeholder = over(window.nameEdit->palette().color(group, QPalette::PlaceholderText), base);
            QVERIFY2(reads(placeholder, over(row.placeholder, base), base), qPrintable(at + " " + placeholder.name()));
        }
        const selectionColours selected = readableSelection(window.excerptEdit->viewport()->palette());
        QVERIFY2(ratio(selected.background, row.base) >= 3, qPrintable(at));
        QVERIFY2(selected.background == row.selection ? reads(selected.text, row.selectedText, selected.background)
                                                      : ratio(selected.text, selected.background) >= 4.7,
            qPrintable(at + " " + selected.text.name() + " on " + selected.background.name()));
        // A selected mark is coloured against the selection, the rest against the base.
        QCOMPARE(window.excerptEdit->markColour(), mark);
        QVERIFY2(ratio(window.excerptEdit->selectedMarkColour(), selected.background) >= 4.5, qPrintable(at));
    }
    QApplication::setPalette(original);
}

void mainWindowTest::heightsScaleWithTheFont()
{
    mainWindow window;
    QFont eleven = window.font();
    eleven.setPointSizeF(11);
    window.setFont(eleven);
    window.resize(740, 326);
    window.show();
    QApplication::processEvents();
    const QFontMetrics metrics(eleven);
    // Two lines of the hint and of the message fit without being cut.
    QVERIFY(window.hintEdit->height() >= 2 * metrics.lineSpacing() + 8);
    QVERIFY(window.messageEdit->height() >= 2 * metrics.lineSpacing() + 8);
    QVERIFY(window.nameEdit->height() >= metrics.height());
    QVERIFY(window.nameEdit->y() > window.hintEdit->geometry().bottom());
    QVERIFY(window.messageEdit->y() > window.nameEdit->geometry().bottom());
}

// An editor that saves by writing a new file and renaming it over the old one.
void mainWindowTest::recheckAfterRenameOverSave()
{
    mainWindow window;
    const QString file = path(broken, "watched.tzv");
    window.nameEdit->setText(file);
    window.runCheck();
    QCOMPARE(redText(window.excerptEdit), QString("46"));
    const QString fresh = path(valid, "watched.tzv.new");
    QVERIFY(std::rename(fresh.toLocal8Bit().constData(), file.toLocal8Bit().constData()) == 0);
    QTRY_COMPARE_WITH_TIMEOUT(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."), 5000);
    QVERIFY(window.excerptEdit->note().contains("Nach dem Speichern neu geprüft um "));

    window.recheckAction->setChecked(false);
    QVERIFY(
        std::rename(path(broken, "watched.tzv.new").toLocal8Bit().constData(), file.toLocal8Bit().constData()) == 0);
    QTest::qWait(3 * mainWindow::recheckPause);
    // Switched off: the file changed, the result stays; switched on, it is checked at once.
    QCOMPARE(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."));
    window.recheckAction->setChecked(true);
    QCOMPARE(redText(window.excerptEdit), QString("46"));

    // Deleted: the result stays, said to be old; back again: checked.
    QVERIFY(std::remove(file.toLocal8Bit().constData()) == 0);
    QTRY_VERIFY_WITH_TIMEOUT(window.excerptEdit->note().endsWith("Die Datei wurde gelöscht oder umbenannt. Das "
                                                                 "Ergebnis ist veraltet."),
        5000);
    QCOMPARE(redText(window.excerptEdit), QString("46"));
    path(valid, "watched.tzv");
    QTRY_COMPARE_WITH_TIMEOUT(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."), 5000);
}

// A name checked before its file exists is checked when the file appears.
void mainWindowTest::recheckWhenTheFileAppears()
{
    mainWindow window;
    const QString file = path(valid, "appears.tzv");
    QVERIFY(std::remove(file.toLocal8Bit().constData()) == 0);
    window.nameEdit->setText(file);
    window.runCheck();
    QVERIFY(window.messageEdit->toPlainText() != QString("Datei korrekt. Tipps nun spielbar."));
    path(valid, "appears.tzv");
    QTRY_COMPARE_WITH_TIMEOUT(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."), 5000);
}

// However the folders on the checked name go and come, a file written under
// it is checked; so is one changed while another name was typed, once the
// checked name is typed back.
void mainWindowTest::recheckWhateverBecomesOfTheFolder()
{
    const QDir scratch(QString::fromStdString(scratchFolder().string()));
    const auto write = [](const QString& file, const std::string& bytes) {
        QFile out(file);
        QVERIFY(
            out.open(QIODevice::WriteOnly) && out.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()));
    };
    const struct {
        const char* what;
        bool thereAtTheCheck;
        std::function<void(const QString& folder)> change;
    } rows[] = {
        { "its folder removed and made again", true,
            [](const QString& folder) { QDir(folder + "/sub").removeRecursively(); } },
        { "a folder above renamed away, a new one made", true,
            [](const QString& folder) { QVERIFY(QDir().rename(folder, folder + ".alt")); } },
        { "made only after the check", false, [](const QString&) {} },
    };
    int n = 0;
    for (const auto& row : rows) {
        const QString folder = scratch.filePath(QString("ordner%1").arg(++n));
        const QString file = folder + "/sub/neu.tzv";
        if (row.thereAtTheCheck) {
            QVERIFY(QDir().mkpath(folder + "/sub"));
            write(file, valid);
        }
        mainWindow window;
        window.nameEdit->setText(file);
        window.runCheck();
        row.change(folder);
        if (row.thereAtTheCheck)
            QTRY_VERIFY_WITH_TIMEOUT(window.excerptEdit->note().endsWith("Das Ergebnis ist veraltet."), 5000);
        QVERIFY(QDir().mkpath(folder + "/sub"));
        QTest::qWait(mainWindow::recheckPause);
        write(file, broken);
        QTRY_VERIFY2_WITH_TIMEOUT(redText(window.excerptEdit) == "46", row.what, 5000);
    }

    mainWindow window;
    const QString file = path(valid, "getippt.tzv");
    window.nameEdit->setText(file);
    window.runCheck();
    QTest::keyClick(window.nameEdit, Qt::Key_Backspace);
    write(file, broken);
    QTest::qWait(3 * mainWindow::recheckPause);
    QCOMPARE(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."));
    QTest::keyClicks(window.nameEdit, "v");
    QCOMPARE(redText(window.excerptEdit), QString("46"));
    QVERIFY(window.excerptEdit->note().contains("Nach dem Speichern neu geprüft um "));
}

// Window fonts from small to large: the button's label, the hint's and the
// message's lines and a seven-digit line number are never cut.
void mainWindowTest::textsFitAtEveryFont()
{
    const QString file = path("<uvra>" + std::string(4194127, '\n') + "<x>", "fonts.tzv");
    const QFont original = QApplication::font();
    for (const qreal points : { 9.0, 14.0, 20.0 }) {
        QFont font = original;
        font.setPointSizeF(points);
        QApplication::setFont(font);
        mainWindow window(file);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QFontMetrics metrics(window.checkButton->font());
        const QString at = QString::number(points) + " pt";
        QVERIFY2(window.checkButton->width() >= metrics.horizontalAdvance("CHECK") + 8, qPrintable(at));
        QVERIFY2(window.checkButton->height() >= metrics.height(), qPrintable(at));
        for (const QPlainTextEdit* pane : { window.hintEdit, window.messageEdit })
            QVERIFY2(pane->verticalScrollBar()->maximum() == 0, qPrintable(at + " " + pane->toPlainText()));
        // The number column is as wide as its widest number, the excerpt right of it.
        const QString last = window.lineNumberEdit->text().split("\r\n", Qt::SkipEmptyParts).last();
        QCOMPARE(last, QString("4194128"));
        QVERIFY2(window.lineNumberEdit->contentsRect().width()
                >= window.lineNumberEdit->fontMetrics().horizontalAdvance(last) + 6,
            qPrintable(at));
        QVERIFY(window.excerptEdit->x() > window.lineNumberEdit->geometry().right());
    }
    QApplication::setFont(original);
}

// However small the window, the marked line stays in view, and every line of
// the reason can be scrolled into view with the excerpt.
void mainWindowTest::reasonScrollsIntoViewInASmallWindow()
{
    const QFont original = QApplication::font();
    QFont font = original;
    font.setPointSizeF(14);
    QApplication::setFont(font);
    mainWindow window(path(broken, "klein.tzv"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const QSize size : { QSize(740, 326), QSize(460, 360), QSize(360, 420) }) {
        window.resize(size);
        QApplication::processEvents();
        excerptView* view = window.excerptEdit;
        QVERIFY(view->lineTop(3)); // the marked line stays in view
        view->verticalScrollBar()->setValue(0);
        QVERIFY2(view->noteRect().bottom() < view->verticalScrollBar()->maximum() + view->viewport()->height(),
            qPrintable(QString("%1×%2").arg(size.width()).arg(size.height())));
        QVERIFY(view->noteRect().top() >= 0);
    }
    QApplication::setFont(original);
}

void mainWindowTest::savesACorrectedCopyOnlyWhereAsked()
{
    mainWindow window;
    const std::string unsorted = document47("<schein><ziroTipp>02,01,03,04,05,06</ziroTipp></schein>");
    const QString original = path(unsorted, "alt.tzv");
    const QString copy = QFileInfo(original).dir().filePath("alt-korrigiert.tzv");
    QFile::remove(copy);
    const QDateTime stamp = QFileInfo(original).lastModified();
    QString shownSummary;
    bool saveIt = false;
    QString suggested;
    window.repairDialog = [&](QWidget*, const QString& summary, const QString&) {
        shownSummary = summary;
        return saveIt;
    };
    window.saveDialog = [&](QWidget*, const QString& offered) {
        suggested = offered;
        return offered;
    };

    window.nameEdit->setText(path(document47("<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>"), "gut.tzv"));
    window.runCheck();
    QVERIFY(!window.saveRepairedAction->isEnabled());
    window.nameEdit->setText(path(document47("<schein><ziroTipp>01,02,03,04,05,46</ziroTipp></schein>"), "x.tzv"));
    window.runCheck();
    // A number out of range may be a blank too much; the repair runs only when
    // asked, and says that 46 needs a choice.
    QVERIFY(window.saveRepairedAction->isEnabled());
    QString title, texts;
    closeNextDialog(title, texts);
    window.saveRepairedAction->trigger();
    QVERIFY2(texts.contains("Nichts ließ sich sicher korrigieren."), qPrintable(texts));
    QVERIFY(!window.saveRepairedAction->isEnabled());

    window.nameEdit->setText(original);
    window.runCheck();
    QVERIFY(window.saveRepairedAction->isEnabled());
    window.saveRepairedAction->trigger(); // declined
    QCOMPARE(shownSummary, QString("1 Korrektur; die korrigierte Fassung ist korrekt."));
    QVERIFY(suggested.isEmpty());
    QVERIFY(!QFile::exists(copy));

    saveIt = true;
    window.saveRepairedAction->trigger();
    QCOMPARE(suggested, copy);
    QFile written(copy);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll().toStdString(), document47("<schein><ziroTipp>01,02,03,04,05,06</ziroTipp></schein>"));
    QFile checked(original);
    QVERIFY(checked.open(QIODevice::ReadOnly));
    QCOMPARE(checked.readAll().toStdString(), unsorted);
    QCOMPARE(QFileInfo(original).lastModified(), stamp);
    // The copy is checked at once.
    QCOMPARE(window.nameEdit->text(), copy);
    QCOMPARE(window.messageEdit->toPlainText(), QString("Datei korrekt. Tipps nun spielbar."));
    QVERIFY(!window.saveRepairedAction->isEnabled());

    // Where it cannot be written, the window says why in German.
    const QDir folder = QFileInfo(original).dir();
    folder.mkpath("ordner.tzv");
    const struct {
        QString target;
        QString why;
    } unwritable[] = {
        { folder.filePath("fehlt/alt.tzv"), "Den Ordner gibt es nicht." },
        { original + "/alt.tzv", "Den Ordner gibt es nicht." },
        { folder.filePath("ordner.tzv"), "Unter diesem Namen steht ein Ordner." },
    };
    for (const auto& row : unwritable) {
        window.nameEdit->setText(original);
        window.runCheck();
        window.saveDialog = [&](QWidget*, const QString&) { return row.target; };
        QString title, texts;
        closeNextDialog(title, texts);
        window.saveRepairedAction->trigger();
        QVERIFY2(texts.contains("„" + row.target + "“ ließ sich nicht schreiben: " + row.why + "|"), qPrintable(texts));
    }
}

void mainWindowTest::panesReachedAndCopiedByKeyboard()
{
    mainWindow window(path(broken, "tasten.tzv"));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    window.nameEdit->setFocus();
    QTest::keyClick(window.nameEdit, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), window.checkButton); // Tab keeps to name and button
    window.nameEdit->setFocus();
    QTest::keyClick(window.nameEdit, Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), window.messageEdit);
    QTest::keyClick(window.messageEdit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window.messageEdit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), window.messageEdit->toPlainText());
    QTest::keyClick(window.messageEdit, Qt::Key_F6);
    QCOMPARE(QApplication::focusWidget(), window.excerptEdit);
    // The excerpt shows its focus in a frame and a caret at the mark, from
    // which Shift+arrows select.
    excerptView* view = window.excerptEdit;
    const QImage shown = view->viewport()->grab().toImage();
    const QRect caret = view->characterRect(view->cursorPosition());
    QCOMPARE(shown.pixelColor(caret.left(), caret.top() + 1), view->palette().color(QPalette::Text));
    QCOMPARE(shown.pixelColor(1, shown.height() / 2), readableSelection(view->palette()).background);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(view, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(view->selectedText(), QString("46"));
    QTest::keyClick(window.excerptEdit, Qt::Key_F6, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), window.messageEdit);
}

// In every menu a letter selects one entry; Shift+F10 opens the context
// menus of the excerpt and of the message.
void mainWindowTest::mnemonicsAndContextMenus()
{
    mainWindow window(path(broken, "menus.tzv"));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QList<QStringList> menus { {} };
    for (const QAction* menu : window.menuBar()->actions()) {
        menus.first() << menu->text();
        QStringList entries;
        for (const QAction* entry : menu->menu()->actions())
            if (!entry->isSeparator())
                entries << entry->text();
        menus << entries;
    }
    for (QWidget* pane : std::initializer_list<QWidget*> { window.excerptEdit, window.messageEdit }) {
        menus << menuOpenedBy(pane, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY2(!menus.last().isEmpty(), pane->metaObject()->className());
    }
    for (const QStringList& entries : menus) {
        QString keys;
        for (const QString& entry : entries) {
            const qsizetype at = entry.indexOf('&');
            if (at < 0)
                continue; // Qt's own entries may have none
            QVERIFY2(!keys.contains(entry[at + 1].toLower()), qPrintable(entries.join(", ")));
            keys += entry[at + 1].toLower();
        }
    }
    // Alt+D, B quits.
    QTest::keyClick(&window, Qt::Key_D, Qt::AltModifier);
    QWidget* fileMenu = QApplication::activePopupWidget();
    QVERIFY(fileMenu);
    QTest::keyClick(fileMenu, Qt::Key_B);
    QTRY_VERIFY(!window.isVisible());
}

QTEST_MAIN(mainWindowTest)
#include "mainWindowTest.moc"

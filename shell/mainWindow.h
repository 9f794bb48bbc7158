#pragma once

#include "excerptView.h"
#include "fileReport.h"

#include <QFrame>
#include <QMainWindow>
#include <QPlainTextEdit>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QFileSystemWatcher;
class QLineEdit;
class QPushButton;
class QTimer;

// The column left of the excerpt: the file's numbers of the shown lines,
// right-aligned, each painted level with the excerpt line it numbers.
class lineNumberColumn : public QFrame {
    Q_OBJECT
public:
    lineNumberColumn(excerptView* excerpt, QWidget* parent);

    void setNumbers(std::uint32_t first, std::uint32_t end, std::vector<std::size_t> lineBlocks);
    void clear();
    // The numbers as the column shows them, each followed by CR LF.
    QString text() const { return numbers; }
    // The width that holds the widest shown number in the column's font, its
    // frame and margins included.
    int neededWidth() const;

signals:
    // The widest number needs another width than before.
    void neededWidthChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    excerptView* excerpt;
    QString numbers;
    std::uint32_t firstLine = 1;
    std::uint32_t endLine = 1;
    std::vector<std::size_t> blocks;
};

class mainWindow : public QMainWindow {
    Q_OBJECT
public:
    // The arguments of the program, joined by single blanks, are checked at
    // once when they are not empty.
    explicit mainWindow(const QString& commandLine = QString(), QWidget* parent = nullptr);

    QPlainTextEdit* hintEdit;
    QLineEdit* nameEdit;
    QPushButton* checkButton;
    QPlainTextEdit* messageEdit;
    lineNumberColumn* lineNumberEdit;
    excerptView* excerptEdit;

    // The open-file dialog; replaceable so that tests need no real dialog.
    std::function<QString(QWidget* owner)> fileDialog;
    // Before a corrected copy is saved: shows the changes and asks; then
    // asks where to save it, suggested the name given. Replaceable as above.
    std::function<bool(QWidget* owner, const QString& summary, const QString& changes)> repairDialog;
    std::function<QString(QWidget* owner, const QString& suggested)> saveDialog;

    // Datei → Korrigierte Fassung speichern unter…: enabled when the last
    // check found something that can be repaired for certain.
    QAction* saveRepairedAction;

    // Datei → Bei Änderung neu prüfen: after a check, a save of that file
    // checks it again. On by default; nothing remembers the choice.
    QAction* recheckAction;
    // Waits for the file to settle after a change on disk.
    static constexpr int recheckPause = 200;

public slots:
    void runCheck();
    void chooseFile();
    void checkCommand();
    void showAbout();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createMenus();
    void createElements();
    void adjustPlaceholder();
    void describeElements();
    void watchForSaves();
    void connectCommands();
    void layoutElements(int width, int height);
    void watchCheckedFile(const QString& path);
    void armWatcher();
    void fileChangedOnDisk();
    void recheckAfterSave();
    void clearMarkAndNote();
    void showExcerpt(const kavrin::excerptDisplay& display);
    void showViolation(std::size_t index);
    void stepViolation(int step);
    void copyReport();
    void saveRepaired();
    // Moves the focus to the next (1) or previous (-1) of name, message and
    // excerpt.
    void focusPane(int step);

    QFileSystemWatcher* watcher;
    QTimer* recheckTimer;
    QString checkedName; // the name field's text at the last check
    QString watchedPath;
    QString watchedState; // size and time of the file at the last check
    // The last check's result, and which of its violations is shown.
    std::optional<kavrin::fileReport> lastReport;
    std::size_t shownViolation = 0;
    QAction* copyReportAction;
    QAction* nextViolationAction;
    QAction* previousViolationAction;

    friend class clientArea;
};

#pragma once

#include <QDialog>

// "Info über Kavrin": version, a line about the program, where to read the
// interface description, and OK. Esc and the close box end it too.
class aboutBox : public QDialog {
    Q_OBJECT
public:
    explicit aboutBox(QWidget* owner);
};

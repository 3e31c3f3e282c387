// Message boxes of the application. Every box is written to the log (caption
// and text) before it is shown, so a log tells what the user was told. The
// buttons carry Norwegian texts. A responder can stand in for the user (tests,
// runs without a screen): it receives the box and answers a button.
#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace mirvo::dlg {

enum class TMsgKind { Information, Warning, Error, Question };

struct TMsgBox {
    QString caption;
    QString text;
    TMsgKind kind = TMsgKind::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using TMsgResponder = std::function<QMessageBox::StandardButton(const TMsgBox&)>;
// Replaces the user; an empty responder shows the boxes again.
void setMsgResponder(TMsgResponder responder);

// Shows the box modally and answers the button pressed (the escape button
// when the box is closed otherwise).
QMessageBox::StandardButton messageBox(QWidget* parent, const TMsgBox& box);

// Shorthands.
void showError(QWidget* parent, const QString& caption, const QString& text);
void showWarning(QWidget* parent, const QString& caption, const QString& text);
void showInfo(QWidget* parent, const QString& caption, const QString& text);
// Ja / Nei (/ Avbryt with `withCancel`); answers Yes, No or Cancel.
QMessageBox::StandardButton askQuestion(QWidget* parent, const QString& caption, const QString& text,
                                        bool withCancel = false);

// The line written to the log for a box.
QString logText(const TMsgBox& box);

}  // namespace mirvo::dlg

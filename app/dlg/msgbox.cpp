#include "app/dlg/msgbox.h"

#include <QAbstractButton>
#include <QApplication>

#include <cstdio>

#include "app/log/logfile.h"

namespace mirvo::dlg {
namespace {

TMsgResponder& responder() {
    static TMsgResponder r;
    return r;
}

QMessageBox::Icon iconOf(TMsgKind kind) {
    switch (kind) {
        case TMsgKind::Information: return QMessageBox::Information;
        case TMsgKind::Warning: return QMessageBox::Warning;
        case TMsgKind::Error: return QMessageBox::Critical;
        case TMsgKind::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

const char* kindWord(TMsgKind kind) {
    switch (kind) {
        case TMsgKind::Information: return "Informasjon";
        case TMsgKind::Warning: return "Advarsel";
        case TMsgKind::Error: return "Feil";
        case TMsgKind::Question: return "Spørsmål";
    }
    return "";
}

QMessageBox::StandardButton escapeButton(QMessageBox::StandardButtons buttons) {
    if (buttons & QMessageBox::Cancel) return QMessageBox::Cancel;
    if (buttons & QMessageBox::No) return QMessageBox::No;
    return QMessageBox::Ok;
}

}  // namespace

void setMsgResponder(TMsgResponder r) { responder() = std::move(r); }

QString logText(const TMsgBox& box) {
    return QStringLiteral("Meldingsboks (%1) \"%2\": %3").arg(QString::fromUtf8(kindWord(box.kind)), box.caption, box.text);
}

QMessageBox::StandardButton messageBox(QWidget* parent, const TMsgBox& box) {
    kavelin::log::logLine(logText(box).toStdU16String());
    if (responder()) return responder()(box);
    // Without a screen nobody can answer: the box goes to the error output
    // and is answered as if closed.
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        QGuiApplication::platformName() == QLatin1String("offscreen") ||
        QGuiApplication::platformName() == QLatin1String("minimal")) {
        std::fprintf(stderr, "%s\n", logText(box).toLocal8Bit().constData());
        return escapeButton(box.buttons);
    }

    QMessageBox m(iconOf(box.kind), box.caption, box.text, box.buttons, parent);
    m.setObjectName(QStringLiteral("msgBox"));
    struct Caption { QMessageBox::StandardButton b; const char* text; };
    for (Caption c : {Caption{QMessageBox::Ok, "OK"}, Caption{QMessageBox::Yes, "&Ja"},
                      Caption{QMessageBox::No, "&Nei"}, Caption{QMessageBox::Cancel, "Avbryt"}})
        if (QAbstractButton* b = m.button(c.b)) b->setText(QString::fromUtf8(c.text));
    m.setEscapeButton(escapeButton(box.buttons));
    int r = m.exec();
    return static_cast<QMessageBox::StandardButton>(r);
}

void showError(QWidget* parent, const QString& caption, const QString& text) {
    messageBox(parent, {caption, text, TMsgKind::Error, QMessageBox::Ok});
}

void showWarning(QWidget* parent, const QString& caption, const QString& text) {
    messageBox(parent, {caption, text, TMsgKind::Warning, QMessageBox::Ok});
}

void showInfo(QWidget* parent, const QString& caption, const QString& text) {
    messageBox(parent, {caption, text, TMsgKind::Information, QMessageBox::Ok});
}

QMessageBox::StandardButton askQuestion(QWidget* parent, const QString& caption, const QString& text,
                                        bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    return messageBox(parent, {caption, text, TMsgKind::Question, buttons});
}

}  // namespace mirvo::dlg

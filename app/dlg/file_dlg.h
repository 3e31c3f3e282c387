// The open and save dialogs of case files ("Mirvo - Åpne fil",
// "Mirvo -  Lagre som"). A responder can stand in for the user (tests): it
// receives the request and answers a file name, empty for Avbryt.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace mirvo::dlg {

struct TFileDlgRequest {
    bool save = false;
    QString caption;
    QString folder;
    QString fileName;  // offered name (save)
    QString filter;
};

using TFileDlgResponder = std::function<QString(const TFileDlgRequest&)>;
void setFileDlgResponder(TFileDlgResponder responder);

// The chosen file, empty when the user cancelled. A saved name without an
// extension gets the filter's first one.
QString fileDialog(QWidget* parent, const TFileDlgRequest& request);

// The case-file dialogs.
QString openCaseDialog(QWidget* parent, const QString& folder);
QString saveCaseDialog(QWidget* parent, const QString& folder, const QString& fileName);

}  // namespace mirvo::dlg

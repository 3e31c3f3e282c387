#include "app/dlg/file_dlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "app/dlg/widget_names.h"

namespace mirvo::dlg {
namespace {

TFileDlgResponder& responder() {
    static TFileDlgResponder r;
    return r;
}

const QString kCaseFilter = QStringLiteral("Mirvo saksdata (*.mvs)");

}  // namespace

void setFileDlgResponder(TFileDlgResponder r) { responder() = std::move(r); }

QString fileDialog(QWidget* parent, const TFileDlgRequest& request) {
    QString name;
    if (responder()) {
        name = responder()(request);
    } else {
        QFileDialog dlg(parent, request.caption, request.folder, request.filter);
        setName(&dlg, request.save ? "SaveDlg" : "OpenDlg");
        dlg.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dlg.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        if (!request.fileName.isEmpty()) dlg.selectFile(request.fileName);
        if (dlg.exec() == QDialog::Accepted && !dlg.selectedFiles().isEmpty()) name = dlg.selectedFiles().front();
    }
    if (name.isEmpty() || !request.save) return name;
    if (QFileInfo(name).suffix().isEmpty()) {
        const qsizetype star = request.filter.indexOf(QStringLiteral("*."));
        if (star >= 0) name += request.filter.mid(star + 1, request.filter.indexOf(')', star) - star - 1);
    }
    return name;
}

QString openCaseDialog(QWidget* parent, const QString& folder) {
    return fileDialog(parent, {false, QStringLiteral("Mirvo - Åpne fil"), folder, {}, kCaseFilter});
}

QString saveCaseDialog(QWidget* parent, const QString& folder, const QString& fileName) {
    return fileDialog(parent, {true, QStringLiteral("Mirvo -  Lagre som"), folder, fileName, kCaseFilter});
}

}  // namespace mirvo::dlg

// The about box: program, file, configuration and library versions, and the
// maker's addresses.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

namespace mirvo::dlg {

// cfgID with at least 6 digits; for 0 followed by " (Standard ver. " + stdCfgID + ")".
QString configIdText(int32_t cfgID, int32_t stdCfgID);

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    // showHelp: shows a help topic; none when there is no help window.
    TFormAbout(int32_t cfgID, int32_t stdCfgID, std::function<void(const QString&)> showHelp,
               QWidget* parent = nullptr);
};

}  // namespace mirvo::dlg

// The main window over the shipped product configuration with a data
// manager of its own (default values and cases in a temporary folder).
#pragma once

#include <QString>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main/form_main.h"
#include "app/mng/data_mng.h"
#include "app/ui/config/produkt_liste.h"
#include "tests/app/main/widgets_app.h"
#include "tests/support/source_dir.h"
#include "tests/support/temp_dir.h"

namespace mirvo::test {

// The shipped product configuration, loaded once.
inline void ensureConfiguration() {
    if (oppsett::hasProduktOppsett()) return;
    std::u16string file = dataFile("Configurations.xml").u16string();
    oppsett::installProduktOppsett(std::make_unique<oppsett::TProduktOppsettListe>([file](bool) { return file; }));
}

// Errors the data manager reports (script errors, unreadable defaults).
struct TWindowHolder {
    TempDir dir;
    std::vector<std::u16string> errors;
    std::unique_ptr<mng::TDataMng> data;
    std::unique_ptr<main::TformMain> window;

    main::TformMain* operator->() const { return window.get(); }
    main::TformMain* get() const { return window.get(); }
    main::TformMain& operator*() const { return *window; }
    std::filesystem::path casesDir() const { return dir / "Saker"; }
    std::filesystem::path defaultsFile() const { return dir / "Defaults.xml"; }
};

inline std::unique_ptr<TWindowHolder> makeMainWindow(main::TFormMainSetup s = {}) {
    ensureWidgetsApp();
    ensureConfiguration();
    auto h = std::make_unique<TWindowHolder>();
    TWindowHolder* raw = h.get();
    h->data = std::make_unique<mng::TDataMng>(oppsett::produktOppsett(), h->defaultsFile(), h->casesDir(),
                                              [raw](const std::u16string& caption, const std::u16string& text) {
                                                  raw->errors.push_back(caption + u": " + text);
                                              });
    s.registerShell = false;
    s.data = h->data.get();
    h->window = std::make_unique<main::TformMain>(s);
    return h;
}

}  // namespace mirvo::test

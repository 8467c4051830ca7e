#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QSettings>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "ScriptedDialogs.h"
#include "app/ColorForm.h"
#include "app/PictForm.h"

namespace korvid::testing {

// The real main window, shown offscreen, with its own model, metafile folder and
// scripted dialogs; every test gets a fresh one.
class WindowFixture : public ::testing::Test {
 protected:
  WindowFixture()
      : folder(std::filesystem::temp_directory_path() /
               ("korvid-window-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::create_directories(folder);
    QSettings().clear();
    metafile = std::make_unique<PlotMetafile>(folder.string());
    context = std::make_unique<AppContext>(*model, settings, *metafile, dialogs);
    form = std::make_unique<PictForm>(*context);
    form->resize(900, 650);
    form->show();
  }
  ~WindowFixture() override {
    form.reset();
    metafile.reset();
    std::filesystem::remove_all(folder);
  }

  // Starts the window; the colour question is answered by `answer` (OK by default).
  void Start(std::function<void(QDialog&)> answer = {}) {
    dialogs.onDialog =
        answer ? answer : [](QDialog& dialog) { static_cast<ColorForm&>(dialog).ClickOk(); };
    form->Start();
    dialogs.onDialog = {};
  }

  std::string Fixture(const std::string& name, const std::string& text) {
    std::filesystem::create_directories((folder / name).parent_path());
    std::ofstream(folder / name, std::ios::binary) << text;
    return (folder / name).string();
  }

  // The load command with `path` chosen in the dialog ("" cancels it).
  void Load(const std::string& path) {
    dialogs.openAnswers.push_back(QString::fromStdString(path));
    form->Action("PlotMenu21")->trigger();
  }

  // A 4000 x 2000 unit rectangle with a diagonal: about 102 x 52 mm with the margin.
  void LoadRectangle() {
    Load(Fixture("rect.hpg", "IN;SP1;PU0,0;PD4000,0,4000,2000,0,2000,0,0,4000,2000;"));
  }

  void Trigger(const char* name) { form->Action(name)->trigger(); }

  std::filesystem::path folder;
  std::unique_ptr<PlotModel> model = std::make_unique<PlotModel>();
  DisplaySettings settings;
  std::unique_ptr<PlotMetafile> metafile;
  ScriptedDialogs dialogs;
  std::unique_ptr<AppContext> context;
  std::unique_ptr<PictForm> form;
};

}  // namespace korvid::testing

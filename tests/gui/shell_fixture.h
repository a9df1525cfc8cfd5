#pragma once
// A page context over the fakes, with the desktop in a temporary folder.
#include <QDialog>
#include <QTemporaryDir>

#include "app/gui/page_context.h"
#include "tests/fakes/fake_ports.h"

namespace quillmere::testing {

struct ShellFixture {
  ShellFixture() {
    fakes.desktopFolder.path = (desktop.path() + "/Desktop").toStdString();
    context.settings = &settings;
    context.ports = fakes.Ports();
    context.helpPage = "file:///usr/share/velmora-quillmere/how-it-works.html";
    context.runModal = [this](QDialog& dialog) {
      modalShown.push_back(dialog.objectName());
      return int(QDialog::Accepted);
    };
  }

  QTemporaryDir desktop;
  fakes::FakePorts fakes;
  RunSettings settings;
  gui::PageContext context;
  QStringList modalShown;  // object names of the dialogs run modally
};

}  // namespace quillmere::testing

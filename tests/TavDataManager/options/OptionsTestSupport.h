// Shared pieces of the options dialog tests: driving a modal dialog once it shows, screenshots, and a
// set-up with the shipped configuration in the user's folder.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/TavDataManager/config/BundleTestSupport.h"

namespace tav::test {

// Runs `action` on the first modal window of type T that shows (polled from the event loop). When none
// shows within a few seconds the test fails and whatever modal window is open is closed.
template <typename T>
void WhenShown(std::function<void(T&)> action) {
  auto tries = std::make_shared<int>(0);
  auto timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, action = std::move(action)] {
    if (auto* window = dynamic_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(*window);
      return;
    }
    if (++*tries > 500) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "the expected dialog did not show";
      if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
    }
  });
  timer->start();
}

// Saves a picture of `widget` as build/screenshots/<name>.png; true when written.
inline bool SaveScreenshot(QWidget& widget, const std::string& name) {
  const QString folder = QString::fromUtf8(TAV_BINARY_DIR "/screenshots");
  QDir().mkpath(folder);
  QApplication::processEvents();
  return widget.grab().save(folder + "/" + QString::fromStdString(name) + ".png");
}

// The shipped configuration in the user's folder, the shipped DefaultCfg.allcfg in the main directory.
class OptionsTest : public BundleTest {
 protected:
  void SetUp() override {
    BundleTest::SetUp();
    InstallUserConfig();
    ShipToMain("DefaultCfg.allcfg");
  }
};

}  // namespace tav::test

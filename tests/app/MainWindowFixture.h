#pragma once
// The real main window under virtual time. Its device runs the real firmware
// unless a test gives another; the auxiliary windows are recorded instead of
// shown, and every key event the window's input produces is recorded on its
// way to the device.
#include "VirtualHostFixture.h"
#include "app/AuxWindowSeam.h"
#include "app/MainWindow.h"

#include <QEvent>
#include <QImage>
#include <QPoint>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class TAuxWindowRecorder : public TAuxWindowSeam {
  public:
    void ShowOverview(QWidget* owner) override { Record("overview", owner); }
    void ShowAbout(QWidget* owner) override { Record("about", owner); }
    void ShowQuickStart(QWidget* owner) override { Record("quick start", owner); }
    void OpenUserManual(QWidget* owner) override { Record("user manual", owner); }

    std::vector<std::string> Calls;
    std::vector<QWidget*> Owners;

  private:
    void Record(const char* what, QWidget* owner) {
        Calls.emplace_back(what);
        Owners.push_back(owner);
    }
};

class MainWindowTest : public VirtualHostTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    void Open(TFirmwareEntry firmware = FirmwareMain);
    QWidget* Child(const char* name);
    QImage Picture(const char* name);

    // A key as Qt routes it: to the focused control, else to the window.
    void SendKey(QEvent::Type type, Qt::Key key, bool autoRepeat = false);
    void KeyDown(Qt::Key key) { SendKey(QEvent::KeyPress, key); }
    void KeyUp(Qt::Key key) { SendKey(QEvent::KeyRelease, key); }
    // Mouse input at a point of the window's client area.
    void MouseDown(Qt::MouseButton button, QPoint pos);
    void MouseUp(Qt::MouseButton button, QPoint pos);
    void MouseMove(QPoint pos);
    // Puts the system's pointer at a point of the client area; Qt reports the
    // move to whichever window lies there.
    void PointerTo(QPoint pos);

    // K1 held for a long click, then past the power-on screen.
    void PowerOn();
    // The LCD's point (x, y) (y from the top) in the window's client area.
    static QPoint LcdPoint(int x, int y);

    TAuxWindowRecorder aux;
    std::unique_ptr<TFormORX700DemoMain> window;
    std::vector<int16_t> events;
};

// The text of id in another language, the calling thread's left as it was.
std::string TextIn(LANGID language, int id);

#pragma once
// A picture on the main window: shows its image stretched to its own size,
// without smoothing, composed over what lies behind it where the image is
// transparent. It takes no mouse input of its own: presses, releases and
// moves pass on to the window, which decides what they mean; the pointer
// shows the window's cursor over it unless the window sets another.
#include <QImage>
#include <QWidget>

class TPictureBox : public QWidget {
  public:
    TPictureBox(QWidget* parent, const char* name, QRect geometry);

    const QImage& Image() const { return FImage; }
    void SetImage(QImage image);
    // For painting into in place; call update() afterwards.
    QImage& Canvas() { return FImage; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage FImage;
};

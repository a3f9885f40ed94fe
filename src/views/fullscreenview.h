#pragma once

#include <QWidget>

class QCloseEvent;
class QImage;
class QKeyEvent;
class QLabel;
class QResizeEvent;
class QScreen;
class StretchImage;
struct SharedState;

// The full-screen view "Form6": frameless, black, the detail picture stretched over the whole
// screen, a refresh indicator at the top-left corner. A click on the picture, or Escape, closes
// it. It keeps the screen saver away from the moment it is opened (Command3_Click of the detail
// view) until it is closed. Deletes itself when closed.
class FullScreenView : public QWidget
{
    Q_OBJECT

public:
    FullScreenView(SharedState &state, QWidget *parent = nullptr);
    ~FullScreenView() override;

    // The picture, stretched (opening, and a picture of the detail slot while open).
    void setPicture(const QImage &picture);
    const QImage &picture() const;
    // A fetch of the detail slot started: the indicator shows until its picture arrives.
    void showRefreshIndicator();
    // A picture reply of the detail slot: indicator hidden, the new picture stretched.
    void showReplyPicture(const QImage &picture);

    // Shows the view over the whole of the screen (also where no window manager does it).
    void showOn(QScreen *screen);

    void Image1_Click();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    SharedState &m_state;
    QLabel *m_picrefresh = nullptr;
    StretchImage *m_Image1 = nullptr;
    bool m_unloaded = false;
};

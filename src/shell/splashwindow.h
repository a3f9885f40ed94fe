#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The splash window "frmSplash": no border, no task-bar button, centred on the screen, covered by
// the splash picture. Its timer counts 75 ticks of 2 ms; the last tick loads and shows the main
// window and the splash window goes away for good.
class SplashWindow : public QWidget
{
    Q_OBJECT

public:
    static constexpr qint16 kSplashStep = 2;
    static constexpr qint16 kSplashEnd = 150; // reached on the 75th tick

    explicit SplashWindow(QWidget *parent = nullptr);
    ~SplashWindow() override;

    void Timer2_Timer();

    QLabel *Image1 = nullptr;
    QTimer *Timer2 = nullptr;
    qint16 intSplashCount = 0;

signals:
    // The main window has been loaded and shown (it deletes itself when closed).
    void form1Shown(QWidget *Form1);
};

// The about box: the program's name and who made it.
#pragma once

#include <QDialog>
#include <QMargins>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    void bCloseClick();
    // Each showing puts the box, frame and all, in the middle of the main window.
    void setVisible(bool visible) override;

    QFrame *Panel1;
    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Credits;
    QLabel *Label1;
    QPushButton *bClose;

protected:
    bool event(QEvent *event) override;

private:
    void CentreOnFrame();
    // Set while the box stands where a guessed frame put it, until its own frame is known.
    bool FrameGuessed = false;
    QMargins GuessedMargins;
    // The box's own frame, once the window manager has framed it.
    QMargins OwnMargins;
};

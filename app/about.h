// The about box: the program's name and who made it.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
public:
    explicit TAboutBox(QWidget *parent = nullptr);
    void bCloseClick();

    QFrame *Panel1;
    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Credits;
    QLabel *Label1;
    QPushButton *bClose;
};

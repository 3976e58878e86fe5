// «Как играть»: the rules in three paragraphs with a small solved example, every mouse action and key.
#pragma once

#include <QDialog>

class QTextBrowser;

class THelpDialog : public QDialog {
    Q_OBJECT

public:
    explicit THelpDialog(QWidget *parent = nullptr);
    // The page's HTML, for the window and its test.
    static QString Text();
    QTextBrowser *Browser;
};

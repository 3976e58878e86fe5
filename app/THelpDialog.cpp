// «Как играть»: the rules in three paragraphs with a small solved example, every mouse action and key.
#include "app/THelpDialog.h"

#include "core/BoardRender.h"
#include "core/Clues.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// A little heart, drawn by the board's own renderer as a printed page shows it.
QImage Example()
{
    const TMyCrossArr heart{{0, 1, 0, 1, 0}, {1, 1, 1, 1, 1}, {1, 1, 1, 1, 1}, {0, 1, 1, 1, 0}, {0, 0, 1, 0, 0}};
    PuzzleDocument doc = DocumentFromPicture(heart);
    doc.Marks = heart;
    for (size_t r = 0; r < heart.size(); ++r)
        for (size_t c = 0; c < heart[r].size(); ++c)
            if (!heart[r][c])
                doc.Marks[r][c] = MarkCrossed;
    const int cell = 22;
    const int width = (doc.RowClueDepth + doc.ColCount) * cell + 50, height = (doc.ColClueDepth + doc.RowCount) * cell + 50;
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    RenderBoard(image, width, height, doc, cell, false, nullptr);
    return image;
}

} // namespace

QString THelpDialog::Text()
{
    return QStringLiteral(
        "<h3>Правила</h3>"
        "<p>В сетке спрятан чёрно-белый рисунок. Числа слева от каждой строки и над каждым столбцом — длины "
        "чёрных отрезков этой линии по порядку: «3 1» значит отрезок из трёх закрашенных клеток, потом хотя бы "
        "одна пустая, потом одна закрашенная.</p>"
        "<p>Восстановите рисунок, рассуждая по линиям: если отрезок длиннее половины строки, его середина "
        "закрашена при любом расположении; клетку, которая не может быть чёрной, отметьте крестиком. "
        "Отгадывать не нужно — у каждой головоломки ровно одно решение.</p>"
        "<p>Когда закрашены ровно все чёрные клетки, головоломка решена: прозвучит сигнал, а время попадёт "
        "в «Статистику». Часы идут, пока вы играете в окне; игру можно сохранить и продолжить позже.</p>"
        "<p align=\"center\"><img src=\"example:heart\"></p>"
        "<h3>Мышь</h3><ul>"
        "<li>Левая кнопка — закрасить клетку; по закрашенной — стереть.</li>"
        "<li>Правая кнопка — поставить крестик; по крестику — стереть.</li>"
        "<li>Средняя кнопка — поставить крестик.</li>"
        "<li>Протяжка с нажатой кнопкой — то же действие на всех клетках по пути.</li>"
        "<li>Щелчок по числу — зачеркнуть его (и снять зачёркивание).</li>"
        "<li>Ctrl+колесо — масштаб; в крупном плане колесо прокручивает строки, Shift+колесо — столбцы.</li>"
        "<li>Кнопки под доской: «Отложить игру», «Пауза», «Продолжить».</li></ul>"
        "<h3>Клавиши</h3><ul>"
        "<li>Стрелки — курсор по клеткам; Home/End — к началу и концу строки, PageUp/PageDown — столбца.</li>"
        "<li>Пробел — как левая кнопка, X (Ч) — как правая; удерживая их, стрелками можно вести протяжку.</li>"
        "<li>Delete — очистить клетку.</li>"
        "<li>Ctrl+Z — отменить, Ctrl+Y или Ctrl+Shift+Z — повторить.</li>"
        "<li>Ctrl+E — проверить отметки (неверные перечёркнуты до следующего хода), F3 — следующая ошибка, "
        "Ctrl+H — подсказка, Ctrl+Shift+H — подсказки по цифрам.</li>"
        "<li>Ctrl+пробел или Pause — пауза, Ctrl+Shift+пробел — отложить игру, Ctrl+Delete — очистить.</li>"
        "<li>F10 или Alt с подчёркнутой буквой — меню; Shift+F4 — обзор в крупном плане.</li>"
        "<li>F4 — крупный план; в нём Ctrl+плюс и Ctrl+минус меняют размер клеток; Ctrl+0 — во весь экран.</li>"
        "<li>Ctrl+N — новая головоломка, Ctrl+O — открыть, Ctrl+S — сохранить, Ctrl+P — печать.</li>"
        "<li>F1 — эта справка.</li></ul>");
}

THelpDialog::THelpDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Как играть"));
    Browser = new QTextBrowser(this);
    Browser->document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("example:heart")), Example());
    Browser->setHtml(Text());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Browser);
    layout->addWidget(buttons);
    resize(560, 640);
}

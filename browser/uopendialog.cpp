// The library browser: pick a volume and a folder, see its puzzles, preview a started game, open or delete one.
#include "browser/uopendialog.h"

#include "browser/LibraryListing.h"
#include "core/SolvedRecord.h"

#include "format/PuzzleFile.h"
#include "toolkit/Prompts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QToolTip>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <optional>

namespace {

const QColor Grey215(215, 215, 215);
const QColor HeaderEdge(128, 128, 128);
constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;

// Volumes get their icon above the name, as a large-icon view shows them.
class TVolumeDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), 53};
    }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->decorationPosition = QStyleOptionViewItem::Top;
        option->decorationAlignment = Qt::AlignHCenter | Qt::AlignBottom;
        option->displayAlignment = Qt::AlignHCenter | Qt::AlignTop;
        option->textElideMode = Qt::ElideMiddle;
    }
};

// Folders are indented by their depth, capped so a deep path still leaves room for names.
class TFolderDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width() + Indent(index), 17};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + Indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

private:
    static int Indent(const QModelIndex &index) { return 7 * std::min(index.data(LevelRole).toInt(), 10); }
};

// Cells of the file grid: own grid lines, the selection only while the grid has the focus, and
// the full text as a tooltip when a cell cuts it.
class TGridCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem opt(option);
        initStyleOption(&opt, index);
        const auto *view = qobject_cast<const QAbstractItemView *>(opt.widget);
        if (!view || !view->hasFocus())
            opt.state &= ~QStyle::State_Selected;
        opt.state &= ~QStyle::State_HasFocus;
        QStyle *style = view ? view->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

        painter->save();
        painter->setPen(Grey215);
        const QRect r = option.rect;
        painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
        painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter->restore();
    }

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        if (option.fontMetrics.horizontalAdvance(text) + 2 * margin > option.rect.width() - 1)
            QToolTip::showText(event->globalPos(), text, view, view->visualRect(index));
        else
            QToolTip::hideText();
        return true;
    }
};

// Flat header cells: the column titles with the sort mark, and the narrow row indicator.
class TGridHeader final : public QHeaderView {
public:
    using QHeaderView::QHeaderView;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override
    {
        if (!rect.isValid())
            return;
        painter->save();
        const bool horizontal = orientation() == Qt::Horizontal;
        painter->fillRect(rect, horizontal && logicalIndex == ColDifficulty ? palette().color(QPalette::Button)
                                                                             : Grey215);
        painter->setPen(HeaderEdge);
        painter->drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
        painter->drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
        painter->setPen(palette().color(QPalette::ButtonText));
        painter->setBrush(palette().color(QPalette::ButtonText));

        if (horizontal) {
            QRect textRect = rect.adjusted(2, 0, -2, -1);
            if (isSortIndicatorShown() && sortIndicatorSection() == logicalIndex) {
                // Pointing down while the first row holds the least, as the toolkit's own
                // headers draw it.
                const int x = rect.right() - 10, y = rect.center().y();
                const QPolygon mark = sortIndicatorOrder() == Qt::AscendingOrder
                    ? QPolygon({QPoint(x, y - 2), QPoint(x + 6, y - 2), QPoint(x + 3, y + 1)})
                    : QPolygon({QPoint(x, y + 1), QPoint(x + 6, y + 1), QPoint(x + 3, y - 2)});
                painter->drawPolygon(mark);
                textRect.setRight(x - 2);
            }
            const QString title = model() ? model()->headerData(logicalIndex, Qt::Horizontal).toString() : QString();
            painter->drawText(textRect, Qt::AlignCenter,
                              fontMetrics().elidedText(title, Qt::ElideRight, textRect.width()));
        } else if (selectionModel() && selectionModel()->currentIndex().row() == logicalIndex) {
            const int x = rect.left() + (rect.width() - 4) / 2, y = rect.center().y();
            painter->drawPolygon(QPolygon({QPoint(x, y - 3), QPoint(x, y + 3), QPoint(x + 3, y)}));
        }
        painter->restore();
    }
};

// The file grid passes on what the dialog must hear: a double-click in the cell area, and a
// keyboard move of the current row, which previews like a click.
class TLibraryGrid final : public QTableWidget {
public:
    using QTableWidget::QTableWidget;
    std::function<void()> OnDoubleClick;
    std::function<void()> OnKeyMove;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && OnDoubleClick)
            OnDoubleClick();
        event->accept();
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        const int before = currentRow();
        QTableWidget::keyPressEvent(event);
        if (currentRow() != before && currentRow() >= 0 && OnKeyMove)
            OnKeyMove();
    }

    // The selection shows only with the focus, so the cells must repaint when it moves.
    void focusInEvent(QFocusEvent *event) override
    {
        QTableWidget::focusInEvent(event);
        viewport()->update();
    }

    void focusOutEvent(QFocusEvent *event) override
    {
        QTableWidget::focusOutEvent(event);
        viewport()->update();
    }
};

bool UnderAny(const QString &path, std::initializer_list<const char *> folders)
{
    for (const char *folder : folders) {
        const QString f = QString::fromLatin1(folder);
        if (path == f || path.startsWith(f + QLatin1Char('/')))
            return true;
    }
    return false;
}

// Linux keeps the removable flag on the whole disk; a partition asks its parent.
bool RemovableDevice(const QByteArray &device)
{
    if (!device.startsWith("/dev/"))
        return false;
    const QString name = QFileInfo(QString::fromLocal8Bit(device)).fileName();
    const QString sysPath = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (sysPath.isEmpty())
        return false;
    for (const QString &dir : {sysPath, QFileInfo(sysPath).path()}) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly))
            return flag.readAll().trimmed() == "1";
    }
    return false;
}

// A large drive pictogram for systems whose icon theme offers none at 32 pixels.
QPixmap DrawnVolumeIcon(TfOpenDialog::TVolumeKind kind)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor outline(80, 80, 80);
    QLinearGradient metal(0, 0, 0, 32);
    metal.setColorAt(0, QColor(235, 235, 235));
    metal.setColorAt(1, QColor(150, 150, 150));
    auto box = [&](const QRectF &r) {
        p.setPen(QPen(outline, 1));
        p.setBrush(metal);
        p.drawRoundedRect(r, 3, 3);
        p.setPen(QPen(QColor(110, 110, 110), 1));
        p.drawLine(QPointF(r.left() + 4, r.bottom() - 4), QPointF(r.left() + 15, r.bottom() - 4));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 200, 60));
        p.drawRect(QRectF(r.right() - 7, r.bottom() - 5, 3, 2));
    };
    switch (kind) {
    case TfOpenDialog::TVolumeKind::Removable:
        p.setPen(QPen(outline, 1));
        p.setBrush(QColor(200, 200, 205));
        p.drawRect(QRectF(11.5, 2.5, 9, 8));
        p.setBrush(outline);
        p.drawRect(QRectF(13.5, 4.5, 2, 2));
        p.drawRect(QRectF(16.5, 4.5, 2, 2));
        p.setBrush(QColor(60, 100, 170));
        p.drawRoundedRect(QRectF(8.5, 10.5, 15, 19), 3, 3);
        break;
    case TfOpenDialog::TVolumeKind::CdRom: {
        box(QRectF(2.5, 19.5, 27, 10));
        QRadialGradient silver(QPointF(13, 8), 14);
        silver.setColorAt(0, QColor(250, 250, 255));
        silver.setColorAt(0.6, QColor(190, 200, 225));
        silver.setColorAt(1, QColor(220, 190, 220));
        p.setPen(QPen(outline, 1));
        p.setBrush(silver);
        p.drawEllipse(QPointF(16, 11), 10, 10);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 11), 2.5, 2.5);
        break;
    }
    case TfOpenDialog::TVolumeKind::Network:
        box(QRectF(2.5, 3.5, 27, 13));
        p.setPen(QPen(outline, 2));
        p.drawLine(QPointF(16, 17), QPointF(16, 26));
        p.drawLine(QPointF(4, 26), QPointF(28, 26));
        p.setPen(QPen(outline, 1));
        p.setBrush(QColor(90, 140, 210));
        p.drawRect(QRectF(12.5, 23.5, 7, 5));
        break;
    default:
        box(QRectF(2.5, 9.5, 27, 14));
        break;
    }
    return pixmap;
}

QIcon VolumeIcon(TfOpenDialog::TVolumeKind kind)
{
    QString name;
    switch (kind) {
    case TfOpenDialog::TVolumeKind::Removable: name = QStringLiteral("drive-removable-media"); break;
    case TfOpenDialog::TVolumeKind::Network: name = QStringLiteral("folder-remote"); break;
    case TfOpenDialog::TVolumeKind::CdRom: name = QStringLiteral("drive-optical"); break;
    default: name = QStringLiteral("drive-harddisk"); break;
    }
    const QIcon themed = QIcon::fromTheme(name);
    const QList<QSize> sizes = themed.availableSizes();
    const bool large = std::any_of(sizes.cbegin(), sizes.cend(), [](QSize s) { return s.height() >= 32; });
    // A scalable theme icon lists no sizes but draws at any.
    if (!themed.isNull() && (large || sizes.isEmpty()))
        return themed;
    return QIcon(DrawnVolumeIcon(kind));
}

QTableWidgetItem *Cell(const QString &text, Qt::Alignment alignment, const QColor &background)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment);
    item->setBackground(background);
    return item;
}

} // namespace

TfOpenDialog::TfOpenDialog(TBrowserHost *host)
    : QDialog(host ? host->BrowserParent() : nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      Host(host)
{
    // Each Open builds a fresh browser; nothing of this one is kept.
    setAttribute(Qt::WA_DeleteOnClose);
    // The first letter is a Latin O, as the caption has always been spelt.
    setWindowTitle(QStringLiteral("O") + QStringLiteral("ткрыть"));
    setFixedSize(726, 315);
    // 8 points at 96 dots an inch, in the system's sans-serif face.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Grey215);
    setPalette(pal);
    setAutoFillBackground(true);

    DriveList = new QListWidget(this);
    DriveList->setGeometry(0, 0, 153, 161);
    DriveList->setIconSize(QSize(32, 32));
    DriveList->setItemDelegate(new TVolumeDelegate(DriveList));
    DriveList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DriveList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DriveList->setUniformItemSizes(true);
    DriveList->installEventFilter(this);

    DirList = new QListWidget(this);
    DirList->setGeometry(0, 164, 153, 149);
    DirList->setIconSize(QSize(16, 16));
    DirList->setItemDelegate(new TFolderDelegate(DirList));
    DirList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DirList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    DirList->setTextElideMode(Qt::ElideRight);
    DirList->installEventFilter(this);

    auto *grid = new TLibraryGrid(0, ColumnCount, this);
    Grid = grid;
    Grid->setGeometry(160, 0, 401, 313);
    Grid->setHorizontalHeader(new TGridHeader(Qt::Horizontal, Grid));
    Grid->setVerticalHeader(new TGridHeader(Qt::Vertical, Grid));
    Grid->setItemDelegate(new TGridCellDelegate(Grid));
    Grid->setShowGrid(false);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setWordWrap(false);
    Grid->setCornerButtonEnabled(false);
    Grid->setSortingEnabled(false);
    Grid->setHorizontalHeaderLabels(
        {QStringLiteral("№"), QStringLiteral("Имя файла"), QStringLiteral("Сложность"), QStringLiteral("Размер"),
         QStringLiteral("Решался")});
    QHeaderView *top = Grid->horizontalHeader();
    top->setFixedHeight(18);
    top->setMinimumSectionSize(1);
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setStretchLastSection(false);
    top->setHighlightSections(false);
    top->setSectionsClickable(true);
    const int widths[ColumnCount] = {30, 123, 80, 64, 67};
    for (int c = 0; c < ColumnCount; ++c)
        top->resizeSection(c, widths[c]);
    // The rows follow the mark; another column starts with its least value at the top.
    for (int c = 0; c < ColumnCount; ++c)
        Grid->horizontalHeaderItem(c)->setData(Qt::InitialSortOrderRole, int(Qt::AscendingOrder));
    top->setSortIndicatorShown(true);
    top->setSortIndicator(ColName, Qt::AscendingOrder);
    QHeaderView *side = Grid->verticalHeader();
    side->setFixedWidth(12);
    side->setMinimumSectionSize(1);
    side->setDefaultSectionSize(16);
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setHighlightSections(false);
    side->setSectionsClickable(false);
    Grid->setContextMenuPolicy(Qt::CustomContextMenu);

    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QStringLiteral("Удалить"));

    Label1 = new QLabel(QStringLiteral("Просмотр"), this);
    // The label sizes itself to its text, as captions do: the system face is wider than the
    // one its 51 pixels were measured in.
    Label1->setGeometry(568, 0, std::max(51, Label1->sizeHint().width()), 13);

    Image1 = new QLabel(this);
    Image1->setGeometry(568, 16, 153, 265);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setScaledContents(false);
    Image1->setWordWrap(true);
    QPalette paper = Image1->palette();
    paper.setColor(QPalette::Window, Qt::white);
    paper.setColor(QPalette::WindowText, Qt::black);
    Image1->setPalette(paper);
    Image1->setAutoFillBackground(true);

    bOpen = new QPushButton(QStringLiteral("Открыть"), this);
    bOpen->setGeometry(568, 288, 75, 25);
    bCancel = new QPushButton(QStringLiteral("Отмена"), this);
    bCancel->setGeometry(648, 288, 75, 25);

    connect(DriveList, &QListWidget::currentRowChanged, this, [this] {
        if (!Marking)
            DriveListChange();
    });
    // A click on the volume already marked still takes the player to its root.
    connect(DriveList, &QListWidget::itemClicked, this, [this] { DriveListChange(); });
    connect(DirList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { SetDirectory(item->data(PathRole).toString()); });
    connect(Grid, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (!Relisting && row >= 0)
            CurrentRow = row;
    });
    connect(Grid, &QTableWidget::cellClicked, this, [this] { GridClick(); });
    connect(top, &QHeaderView::sortIndicatorChanged, this, [this] { SortGrid(); });
    grid->OnKeyMove = [this] { GridClick(); };
    grid->OnDoubleClick = [this] { bOpenClick(); };
    connect(Grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { PopupMenu1->popup(Grid->viewport()->mapToGlobal(pos)); });
    connect(N1, &QAction::triggered, this, [this] { N1Click(); });
    connect(bOpen, &QPushButton::clicked, this, [this] { bOpenClick(); });
    connect(bCancel, &QPushButton::clicked, this, [this] { bCancelClick(); });

    if (const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // Like a folder list box, the browser starts on the working folder until told otherwise;
    // a working folder deleted under the program is no place to start.
    Folder = NearestExistingFolder(QDir::currentPath(), LibraryFolder());
    FillDriveList();
    MarkVolumeOf(Folder);
    if (DriveList->currentRow() < 0 && DriveList->count() > 0) {
        Marking = true;
        DriveList->setCurrentRow(0);
        Marking = false;
    }
    BuildDirList();
    // The file list is what the player came for; it takes the focus first.
    Grid->setFocus();
    FormCreate();
}

TfOpenDialog::TVolumeKind TfOpenDialog::VolumeKind(const QString &rootPath, const QByteArray &fileSystemType,
                                                   const QByteArray &device, bool removableDevice)
{
    // The whole tree hangs from the root, whatever a container calls its file system.
    if (rootPath == QLatin1String("/"))
        return TVolumeKind::Fixed;
    // Kernel views, runtime state and boot partitions never hold a library.
    if (UnderAny(rootPath, {"/proc", "/sys", "/dev", "/boot", "/snap"})
        || (UnderAny(rootPath, {"/run"}) && !UnderAny(rootPath, {"/run/media"})))
        return TVolumeKind::None;
    static const QList<QByteArray> network = {"nfs",  "nfs4", "cifs", "smb3",       "smbfs",       "ncpfs",
                                              "afs",  "9p",   "ceph", "glusterfs",  "fuse.sshfs",  "fuse.rclone",
                                              "davfs", "fuse.glusterfs"};
    if (network.contains(fileSystemType))
        return TVolumeKind::Network;
    if (fileSystemType == "iso9660" || fileSystemType == "udf" || device.startsWith("/dev/sr"))
        return TVolumeKind::CdRom;
    // Package images are mounted read-only by the system, not by the player.
    if (fileSystemType == "squashfs" || fileSystemType == "erofs")
        return TVolumeKind::None;
    // A pooled file system names its pool, not a device.
    if (device.startsWith("/dev/") || fileSystemType == "zfs" || fileSystemType == "bcachefs") {
        if (removableDevice || UnderAny(rootPath, {"/media", "/run/media"}))
            return TVolumeKind::Removable;
        return TVolumeKind::Fixed;
    }
    // What is left lives in memory or is stacked by the system: tmpfs, overlay, cgroup and the like.
    return TVolumeKind::None;
}

void TfOpenDialog::FillDriveList()
{
    struct TVolume {
        QString Root;
        TVolumeKind Kind;
        QString Tip;
    };
    QList<TVolume> volumes;
    for (const QStorageInfo &info : QStorageInfo::mountedVolumes()) {
        const QString root = info.rootPath();
        // Containers mount single files (hosts, resolv.conf) from real disks.
        if (!info.isValid() || !info.isReady() || !QFileInfo(root).isDir())
            continue;
        if (std::any_of(volumes.cbegin(), volumes.cend(), [&](const TVolume &v) { return v.Root == root; }))
            continue;
        const TVolumeKind kind = VolumeKind(root, info.fileSystemType(), info.device(), RemovableDevice(info.device()));
        if (kind == TVolumeKind::None)
            continue;
        QString tip = root;
        if (!info.name().isEmpty())
            tip += QStringLiteral("\n") + info.name();
        tip += QStringLiteral("\n") + QString::fromLocal8Bit(info.device()) + QStringLiteral(" (")
            + QString::fromLatin1(info.fileSystemType()) + QLatin1Char(')');
        volumes.append({root, kind, tip});
    }
    std::sort(volumes.begin(), volumes.end(), [](const TVolume &a, const TVolume &b) { return a.Root < b.Root; });

    Marking = true;
    for (const TVolume &v : volumes) {
        auto *item = new QListWidgetItem(VolumeIcon(v.Kind), v.Root, DriveList);
        item->setData(PathRole, v.Root);
        item->setToolTip(v.Tip);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    Marking = false;
}

void TfOpenDialog::MarkVolumeOf(const QString &folder)
{
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < DriveList->count(); ++i) {
        const QString root = DriveList->item(i)->data(PathRole).toString();
        const bool holds = folder == root || folder.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    if (best < 0)
        return;
    Marking = true;
    DriveList->setCurrentRow(best);
    Marking = false;
}

void TfOpenDialog::BuildDirList()
{
    DirList->clear();
    if (Folder.isEmpty())
        return;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [this](const QIcon &icon, const QString &text, const QString &path, int level) {
        auto *item = new QListWidgetItem(icon, text, DirList);
        item->setData(PathRole, path);
        item->setData(LevelRole, level);
        item->setToolTip(path);
        return item;
    };

    // The way down from the root, then what lies one level below the current folder.
    QListWidgetItem *current = add(open, QStringLiteral("/"), QStringLiteral("/"), 0);
    QString path;
    int level = 0;
    for (const QString &part : Folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        current = add(open, part, path, ++level);
    }
    const QDir here(Folder);
    for (const QString &name : here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        add(closed, name, here.filePath(name), level + 1);
    const QString made = Host ? Host->MadePuzzleFolder() : QString();
    if (!made.isEmpty() && QDir::cleanPath(made) != QDir::cleanPath(Folder))
        add(style()->standardIcon(QStyle::SP_DirLinkIcon), QFileInfo(made).fileName(), made, 0);
    DirList->setCurrentItem(current);
    DirList->scrollToItem(current);
}

QString TfOpenDialog::LibraryFolder() const
{
    const QString folder = Host ? Host->ProgramFolder() : QCoreApplication::applicationDirPath() + QLatin1Char('/');
    return folder + QStringLiteral("Библиотека");
}

void TfOpenDialog::FormCreate()
{
    bool listed;
    if (Host && !Host->LastLibraryDriveOf().isEmpty()) {
        MarkVolumeOf(Host->LastLibraryDriveOf());
        listed = MakeCurrent(Host->LastLibraryDirOf());
    } else {
        const QString start = LibraryFolder();
        MarkVolumeOf(QDir::cleanPath(start));
        listed = MakeCurrent(start);
    }
    // A folder change has listed already; a second listing would report a damaged file twice.
    if (!listed)
        DirListChange();
}

void TfOpenDialog::DriveListChange()
{
    const QListWidgetItem *item = DriveList->currentItem();
    if (item)
        SetDirectory(item->data(PathRole).toString());
}

void TfOpenDialog::SetDirectory(const QString &path)
{
    MakeCurrent(path);
}

bool TfOpenDialog::MakeCurrent(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QString base = Folder.isEmpty() ? LibraryFolder() : Folder;
    const QString wanted = QDir::cleanPath(QDir(base).absoluteFilePath(path));
    // A folder deleted since it was remembered (or the working folder itself, gone under us)
    // gives way to its nearest parent that is still there.
    const QString target = NearestExistingFolder(wanted, LibraryFolder());
    if (target == Folder && QFileInfo(Folder).isDir())
        return false;
    QDir::setCurrent(target);
    // Whatever was asked, the browser shows where the process really is.
    Folder = QDir::currentPath();
    if (Folder.isEmpty())
        Folder = target;
    BuildDirList();
    MarkVolumeOf(Folder);
    DirListChange();
    return true;
}

void TfOpenDialog::DirListChange()
{
    Relisting = true;
    Grid->setRowCount(0);
    Relisting = false;
    Puzzles.clear();

    const QFileInfoList entries = QDir(Folder).entryInfoList(
        {QStringLiteral("*.pxg")}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDir::Name | QDir::IgnoreCase);
    if (entries.isEmpty()) {
        bOpen->setEnabled(false);
        return;
    }
    bOpen->setEnabled(true);

    // Every file that could not be listed is named, once, after the listing.
    QStringList errors;
    // Solved puzzles read «Решён»; a damaged record is the frame's to report, here it is empty.
    TSolvedRecord solved;
    solved.Load(false);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir())
            continue;
        const QString name = entry.fileName();
        const QString path = PathOf(name);
        // Only plain files are read: a pipe or a device would block or never end.
        QFile file(path);
        if (!entry.isFile() || !file.open(QIODevice::ReadOnly)) {
            errors << PuzzleFile::CannotOpenText(path);
            continue;
        }
        const QByteArray head = file.read(17);
        file.close();
        // One damaged file costs its own row, not the rest of the library.
        if (head.size() < 17) {
            errors << PuzzleFile::StreamReadText() + QStringLiteral(": ") + path;
            continue;
        }
        QByteArray header = head;
        header.resize(PuzzleFile::HeaderSize, '\0');
        TListedPuzzle puzzle;
        puzzle.Name = name;
        puzzle.Head = PuzzleFile::DecodeHeader(header.constData());
        const int digit = DifficultyDigit(name);
        if (digit >= 0) {
            puzzle.Difficulty = digit;
            setWindowTitle(QString::number(digit));
        }
        puzzle.Solved = solved.HoldsFile(path, puzzle.Head.ColCount, puzzle.Head.RowCount);
        puzzle.Listed = int(Puzzles.size());
        Puzzles.append(puzzle);
    }
    const QHeaderView *top = Grid->horizontalHeader();
    SortListing(Puzzles, top->sortIndicatorSection(), top->sortIndicatorOrder());
    FillGrid();
    SelectGridRow();
    if (!errors.isEmpty())
        Prompts::ShowError(this, ListingErrorText(errors));
}

QString TfOpenDialog::ListingErrorText(const QStringList &errors)
{
    // A folder of hundreds of broken files still fits its message on the screen.
    constexpr int Shown = 15;
    QStringList lines = errors.mid(0, Shown);
    if (errors.size() > Shown)
        lines << QStringLiteral("… (%1 more)").arg(errors.size() - Shown);
    return lines.join(QLatin1Char('\n'));
}

void TfOpenDialog::FillGrid()
{
    Relisting = true;
    Grid->setRowCount(0);
    Grid->setRowCount(int(Puzzles.size()));
    const QColor white(Qt::white);
    const QColor window = palette().color(QPalette::Base);
    for (int row = 0; row < Puzzles.size(); ++row) {
        const TListedPuzzle &p = Puzzles[row];
        Grid->setItem(row, ColNumber, Cell(QString::number(row + 1), Qt::AlignCenter, white));
        Grid->setItem(row, ColName, Cell(p.Name, Qt::AlignLeft | Qt::AlignVCenter, window));
        Grid->setItem(row, ColDifficulty, Cell(ListedDifficulty(p.Difficulty), Qt::AlignCenter, window));
        Grid->setItem(row, ColSize, Cell(ListedSize(p.Head), Qt::AlignCenter, white));
        Grid->setItem(row, ColStarted, Cell(p.Solved ? QStringLiteral("Решён") : ListedStarted(p.Head),
                                            Qt::AlignCenter, white));
    }
    Relisting = false;
}

void TfOpenDialog::SortGrid()
{
    // The player keeps looking at the same file wherever the new order puts it.
    const QString selected = SelectedName();
    const QHeaderView *top = Grid->horizontalHeader();
    SortListing(Puzzles, top->sortIndicatorSection(), top->sortIndicatorOrder());
    FillGrid();
    for (int row = 0; row < Puzzles.size(); ++row)
        if (!selected.isEmpty() && Puzzles[row].Name == selected)
            CurrentRow = row;
    SelectGridRow();
}

void TfOpenDialog::SelectGridRow()
{
    Relisting = true;
    if (CurrentRow < Grid->rowCount())
        Grid->setCurrentCell(CurrentRow, ColName);
    else
        Grid->setCurrentIndex(QModelIndex());
    Relisting = false;
    Grid->verticalHeader()->viewport()->update();
}

QString TfOpenDialog::SelectedName() const
{
    if (CurrentRow < 0 || CurrentRow >= Grid->rowCount())
        return QString();
    const QTableWidgetItem *item = Grid->item(CurrentRow, ColName);
    return item ? item->text() : QString();
}

QString TfOpenDialog::SelectedVolume() const
{
    if (const QListWidgetItem *item = DriveList->currentItem())
        return item->data(PathRole).toString();
    return QStorageInfo(Folder).rootPath();
}

QString TfOpenDialog::PathOf(const QString &name) const
{
    return Folder.endsWith(QLatin1Char('/')) ? Folder + name : Folder + QLatin1Char('/') + name;
}

void TfOpenDialog::SetPreview(const QImage &canvas)
{
    Image1->setPixmap(QPixmap::fromImage(canvas));
}

void TfOpenDialog::GridClick()
{
    const QString path = PathOf(SelectedName());
    QImage canvas(Image1->size(), QImage::Format_RGB32);
    canvas.fill(Qt::white);
    SetPreview(canvas);
    if (!QFileInfo(path).isFile())
        return;

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Prompts::ShowError(this, PuzzleFile::CannotOpenText(path));
        return;
    }
    const QByteArray raw = file.read(PuzzleFile::HeaderSize);
    if (raw.size() < PuzzleFile::HeaderSize) {
        Prompts::ShowError(this, PuzzleFile::StreamReadText());
        return;
    }
    const PuzzleFile::Header h = PuzzleFile::DecodeHeader(raw.constData());
    if (h.InProgress == 0) {
        Image1->hide();
        return;
    }
    const int c = h.ColCount, r = h.RowCount;
    const TPreviewLayout layout = PreviewLayout(c, r, Image1->width(), Image1->height());
    if (!layout.Valid)
        return;
    if (!layout.Fits) {
        Image1->setText(PreviewTooLargeText(c, r));
        Image1->show();
        return;
    }
    const int cell = layout.Cell;

    // The marks follow the solution; both must be there before anything changes on screen.
    const qint64 block = qint64(4) * r * c;
    QByteArray marks;
    if (file.seek(PuzzleFile::HeaderSize + block))
        marks = file.read(block);
    file.close();
    if (marks.size() < block) {
        Prompts::ShowError(this, PuzzleFile::StreamReadText());
        return;
    }

    // Filled cells keep a white line at their left and top, while a cell has room for one;
    // there are no grid lines.
    const int gap = cell >= 3 ? 1 : 0;
    {
        QPainter painter(&canvas);
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j) {
                const qint32 value = qFromLittleEndian<qint32>(marks.constData() + 4 * (qint64(i) * c + j));
                if (value == 1)
                    painter.fillRect(layout.Left + j * cell + gap, layout.Top + i * cell + gap, cell - gap,
                                     cell - gap, Qt::black);
            }
    }
    SetPreview(canvas);
    Image1->show();
}

void TfOpenDialog::bOpenClick()
{
    if (Host) {
        Host->RememberLibrary(SelectedVolume(), Folder);
        Host->OpenFromBrowser(PathOf(SelectedName()));
    }
    close();
}

void TfOpenDialog::N1Click()
{
    const QString name = SelectedName();
    Prompts::TQuestion question;
    question.Text = QStringLiteral("Вы действительно хотите удалить файл ") + name + QStringLiteral(" ?");
    question.Caption = QStringLiteral("Удаление");
    question.Buttons = QMessageBox::Yes | QMessageBox::No;
    question.Default = QMessageBox::No;
    question.Icon = QMessageBox::Question;
    // A failed deletion is not reported: the relisted grid still shows the file.
    if (Prompts::Ask(this, question) == QMessageBox::Yes && !name.isEmpty())
        QFile::remove(PathOf(name));
    DirListChange();
}

void TfOpenDialog::bCancelClick()
{
    close();
}

void TfOpenDialog::FormClose()
{
    // exec() takes the flag for the time it runs; a dialog closed during it must still go.
    setAttribute(Qt::WA_DeleteOnClose);
}

void TfOpenDialog::closeEvent(QCloseEvent *event)
{
    FormClose();
    QDialog::closeEvent(event);
}

bool TfOpenDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in a list must not reach the default button and open a file.
    if (event->type() == QEvent::KeyPress && (watched == DirList || watched == DriveList)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == DirList && DirList->currentItem())
                SetDirectory(DirList->currentItem()->data(PathRole).toString());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

#include "ui/ActivityWindow.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTableView>
#include <QTimeZone>
#include <array>

#include "activity/TimelineDrawing.h"
#include "ui/Fonts.h"

namespace relaydeck {

namespace {

using namespace std::chrono;

QString textIn(const OperatorTexts* texts, TextId id) {
    return QString::fromUtf8(texts != nullptr ? texts->text(id) : designedText(id));
}

QDateTime localDateTime(ActivityTime time) {
    return QDateTime::fromMSecsSinceEpoch(time.time_since_epoch().count(), QTimeZone::utc())
        .toLocalTime();
}

}  // namespace

seconds qtUtcOffset(ActivityTime time) {
    return seconds{localDateTime(time).offsetFromUtc()};
}

// ---- table ----

ActivityTableModel::ActivityTableModel(const ActivityJournal& journal, const OperatorTexts* texts,
                                       QObject* parent)
    : QAbstractTableModel(parent), journal_(journal), texts_(texts) {}

void ActivityTableModel::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, columnCount({}) - 1);
    if (shown_ > 0) emit dataChanged(index(0, 1), index(shown_ - 1, 1));
}

void ActivityTableModel::sync() {
    const auto& records = journal_.records();
    const int count = static_cast<int>(records.size());
    const bool sameStart = shown_ == 0 || (!records.empty() && records.front().time == firstShown_);
    if (count < shown_ || !sameStart) {
        beginResetModel();
        shown_ = count;
        endResetModel();
    } else if (count > shown_) {
        beginInsertRows({}, shown_, count - 1);
        shown_ = count;
        endInsertRows();
    }
    if (!records.empty()) firstShown_ = records.front().time;
}

int ActivityTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_;
}

int ActivityTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant ActivityTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_) return {};
    const auto& records = journal_.records();
    if (static_cast<std::size_t>(index.row()) >= records.size()) return {};
    const ActivityRecord& r = records[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
        case 0:
            return localDateTime(r.time).toString(QStringLiteral("HH:mm:ss"));
        case 1:
            return textIn(texts_, activityEventText(r.event));
        case 2:
            return r.duration ? QString::fromStdString(formatClockSpan(*r.duration)) : QString();
        default:
            return QString::fromStdString(r.detail);
    }
}

QVariant ActivityTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    static constexpr TextId kHeaders[] = {TextId::ActivityColumnTime, TextId::ActivityColumnEvent,
                                          TextId::ActivityColumnDuration,
                                          TextId::ActivityColumnDetail};
    return section >= 0 && section < 4 ? textIn(texts_, kHeaders[section]) : QVariant();
}

// ---- timeline ----

TimelineView::TimelineView(const ActivityModel& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TimelineView::paintEvent(QPaintEvent*) {
    TimelineFrame frame;
    frame.width = width();
    frame.height = height();
    frame.fontPx = QFontInfo(font()).pixelSize();
    frame.axis = TimelineAxis::LocalClock;
    frame.offset = qtUtcOffset;
    const TimelineDrawing drawing = drawTimeline(model_.timeline(), frame);

    QPainter p(this);
    const auto colour = [](const TimelineColour& c) { return QColor(c.red, c.green, c.blue); };
    for (const DrawItem& item : drawing.items) {
        switch (item.shape) {
            case DrawShape::Box:
                p.fillRect(QRectF(item.x, item.y, item.width, item.height), colour(item.colour));
                break;
            case DrawShape::Line:
                p.setPen(QPen(colour(item.colour), item.text.empty() ? 1.0 : 1.5,
                              item.dashed ? Qt::DashLine : Qt::SolidLine));
                p.drawLine(QPointF(item.x, item.y),
                           QPointF(item.x + item.width, item.y + item.height));
                break;
            case DrawShape::Dot:
                p.setPen(Qt::NoPen);
                p.setBrush(colour(item.colour));
                p.drawEllipse(QPointF(item.x, item.y), item.width, item.width);
                break;
            case DrawShape::Text: {
                QFont f = font();
                if (item.bold) {
                    f.setBold(true);
                    f.setPixelSize(static_cast<int>(item.height));
                }
                p.setFont(f);
                p.setPen(colour(item.colour));
                // The lanes' names in the language in force; the times as they are.
                const OperatorTexts* texts = model_.operatorTexts();
                const QString text =
                    QString::fromStdString(texts != nullptr ? texts->shown(item.text) : item.text);
                const double w = QFontMetricsF(f).horizontalAdvance(text);
                const double shift = item.anchor == TextAnchor::Start    ? 0
                                     : item.anchor == TextAnchor::Middle ? w / 2
                                                                         : w;
                p.drawText(QPointF(item.x - shift, item.y), text);
                break;
            }
        }
    }
}

// ---- window ----

ActivityWindow::ActivityWindow(ActivityModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      twips_(Twips::forScreen(QGuiApplication::primaryScreen())),
      binder_(
          model, [this] { applyWindow(); }, model.operatorTexts()),
      layout_(activityLayout(), binder_, twips_) {
    setObjectName(QStringLiteral("Activity"));
    setFont(fontFor(activityLayout().font));
    layout_.build(this);
    const auto place = [this](QWidget* w, TwipsRect r) {
        w->setGeometry(twips_.px(r.left), twips_.px(r.top), twips_.px(r.width),
                       twips_.px(r.height));
    };
    timeline_ = new TimelineView(model_, this);
    place(timeline_, activityTimelineRect());
    rows_ = new ActivityTableModel(model_.journal(), model_.operatorTexts(), this);
    table_ = new QTableView(this);
    table_->setModel(rows_);
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    place(table_, activityTableRect());
    binder_.addTranslation([this] {
        // Columns as wide as the longest time, event name and heading in the language.
        const QFontMetrics metrics = fontMetrics();
        int eventWidth = metrics.horizontalAdvance(
            rows_->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString());
        for (int e = 0; e < static_cast<int>(ActivityEvent::Count); ++e) {
            eventWidth = std::max(
                eventWidth,
                metrics.horizontalAdvance(textIn(
                    model_.operatorTexts(), activityEventText(static_cast<ActivityEvent>(e)))));
        }
        table_->setColumnWidth(0, metrics.horizontalAdvance(QStringLiteral("00:00:00")) + 16);
        table_->setColumnWidth(1, eventWidth + 16);
        table_->setColumnWidth(
            2, metrics.horizontalAdvance(
                   rows_->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString()) +
                   16);
        rows_->retranslate();
        timeline_->update();
    });
    setFixedSize(twips_.px(ActivityModel::kWidthTwips), twips_.px(ActivityModel::kHeightTwips));
    contentListener_ = model_.setContentListener([this] { refreshContent(); });
    applyWindow();
}

ActivityWindow::~ActivityWindow() = default;

void ActivityWindow::refreshContent() {
    QScrollBar* bar = table_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    rows_->sync();
    // After the view has laid out the new rows, or the end it scrolls to is the old one.
    if (atEnd) QMetaObject::invokeMethod(table_, &QTableView::scrollToBottom, Qt::QueuedConnection);
    timeline_->update();
}

void ActivityWindow::applyWindow() {
    setWindowTitle(binder_.shown(model_.caption()));
    if (rows_ == nullptr) return;  // still being built
    if (model_.isVisible() && !isVisible()) {
        rows_->sync();
        table_->scrollToBottom();
        show();
        raise();
        activateWindow();
    } else if (!model_.isVisible() && isVisible()) {
        hide();
    }
}

void ActivityWindow::closeEvent(QCloseEvent* event) {
    model_.close();
    event->accept();
}

}  // namespace relaydeck

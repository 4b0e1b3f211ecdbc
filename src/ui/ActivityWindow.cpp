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

#include "activity/TimelineSvg.h"
#include "ui/Fonts.h"

namespace relaydeck {

namespace {

using namespace std::chrono;

struct LaneLook {
    TextId name;
    QColor colour;
};
const std::array<LaneLook, 3> kLanes = {{
    {TextId::LaneCarrier, QColor(0x2e, 0x8b, 0x3a)},
    {TextId::LaneInternet, QColor(0x2f, 0x6f, 0xbf)},
    {TextId::LaneTransmitter, QColor(0xd2, 0x3b, 0x2f)},
}};

QString textIn(const OperatorTexts* texts, TextId id) {
    return QString::fromUtf8(texts != nullptr ? texts->text(id) : designedText(id));
}
const QColor kIdColour(0x6a, 0x3f, 0xa0);
const QColor kTimeOutColour(0xe0, 0x8a, 0x00);

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
    const Timeline timeline = model_.timeline();
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const QFontMetrics metrics(font());
    int labelWidth = 0;
    for (const LaneLook& lane : kLanes) {
        labelWidth = std::max(
            labelWidth, metrics.horizontalAdvance(textIn(model_.operatorTexts(), lane.name)) + 10);
    }
    const int left = labelWidth;
    const int plotWidth = std::max(width() - left - 8, 1);
    const int axisHeight = metrics.height() + 6;
    const int marksHeight = 8;
    const int laneGap = 4;
    const int laneHeight =
        std::max((height() - axisHeight - marksHeight - 2 * laneGap) / 3, metrics.height());
    const auto span =
        static_cast<double>(std::max<long long>((timeline.to - timeline.from).count(), 1));
    const auto x = [&](ActivityTime t) {
        return left + static_cast<int>(static_cast<double>((t - timeline.from).count()) *
                                       plotWidth / span);
    };
    const auto laneTop = [&](std::size_t lane) {
        return marksHeight + static_cast<int>(lane) * (laneHeight + laneGap);
    };

    for (std::size_t lane = 0; lane < kLanes.size(); ++lane) {
        const QRect row(left, laneTop(lane), plotWidth, laneHeight);
        p.fillRect(row, palette().base());
        p.setPen(palette().mid().color());
        p.drawRect(row.adjusted(0, 0, -1, -1));
        p.setPen(palette().windowText().color());
        p.drawText(QRect(0, row.top(), labelWidth - 6, laneHeight),
                   Qt::AlignRight | Qt::AlignVCenter,
                   textIn(model_.operatorTexts(), kLanes[lane].name));
    }
    for (const TimelineBand& band : timeline.bands) {
        const auto lane = static_cast<std::size_t>(band.lane);
        const int a = x(band.from);
        p.fillRect(QRect(a, laneTop(lane) + 2, std::max(x(band.to) - a, 1), laneHeight - 4),
                   kLanes[lane].colour);
    }
    const int axisY = laneTop(kLanes.size()) - laneGap + 2;
    for (const TimelineMark& mark : timeline.marks) {
        const QColor colour = mark.event == ActivityEvent::TimeOut ? kTimeOutColour : kIdColour;
        const int at = x(mark.time);
        p.setPen(
            QPen(colour, 1.5, mark.event == ActivityEvent::TimeOut ? Qt::DashLine : Qt::SolidLine));
        p.drawLine(at, marksHeight / 2, at, axisY);
        p.setBrush(colour);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(at, marksHeight / 2), 3, 3);
    }
    // The axis: the local time of day at round minutes.
    p.setPen(palette().windowText().color());
    p.drawLine(left, axisY, left + plotWidth, axisY);
    const QDateTime fromLocal = localDateTime(timeline.from);
    const qint64 stepMs =
        duration_cast<milliseconds>(ActivityModel::axisStep(timeline.to - timeline.from)).count();
    const qint64 fromMs = timeline.from.time_since_epoch().count();
    const qint64 offsetMs = qint64{fromLocal.offsetFromUtc()} * 1000;
    for (qint64 t = ((fromMs + offsetMs) / stepMs + 1) * stepMs - offsetMs;
         t <= timeline.to.time_since_epoch().count(); t += stepMs) {
        const int at = x(ActivityTime{milliseconds{t}});
        p.drawLine(at, axisY, at, axisY + 3);
        const QString label = localDateTime(ActivityTime{milliseconds{t}}).toString("HH:mm");
        const int w = metrics.horizontalAdvance(label);
        p.drawText(QRect(at - w / 2 - 2, axisY + 3, w + 4, metrics.height()), Qt::AlignCenter,
                   label);
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
    model_.setContentListener([this] { refreshContent(); });
    applyWindow();
}

ActivityWindow::~ActivityWindow() {
    model_.setContentListener({});
}

void ActivityWindow::refreshContent() {
    ++refreshes_;
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

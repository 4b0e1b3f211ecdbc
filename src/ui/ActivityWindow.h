#pragma once
/// @file
/// @brief The activity window's Qt view: totals, the last hour's timeline, the records.

#include <QAbstractTableModel>
#include <QWidget>

#include "activity/ActivityModel.h"
#include "ui/ControlBinder.h"
#include "ui/LayoutBuilder.h"
#include "ui/Twips.h"

class QTableView;

namespace relaydeck {

/// @brief The offset of the machine's local time from UTC at a moment, as Qt knows it.
std::chrono::seconds qtUtcOffset(ActivityTime time);

/// @brief The day's records as table rows: time, event, duration, detail.
///
/// It takes new rows from the journal only when told (sync()), so a hidden window costs
/// nothing.
class ActivityTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    /// @brief @p texts: the language of the headings and event names (nullptr: as designed).
    explicit ActivityTableModel(const ActivityJournal& journal,
                                const OperatorTexts* texts = nullptr, QObject* parent = nullptr);
    /// @brief The language changed: headings and event names are shown anew.
    void retranslate();

    /// @brief Takes the records added since the last call (all of them after a new day).
    void sync();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const ActivityJournal& journal_;
    const OperatorTexts* texts_;
    int shown_ = 0;
    ActivityTime firstShown_{};
};

/// @brief Paints the timeline's drawing, with the local time of day on its axis.
class TimelineView : public QWidget {
    Q_OBJECT
  public:
    explicit TimelineView(const ActivityModel& model, QWidget* parent = nullptr);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    const ActivityModel& model_;
};

/// @brief The activity window.
class ActivityWindow : public QWidget {
    Q_OBJECT
  public:
    explicit ActivityWindow(ActivityModel& model, QWidget* parent = nullptr);
    ~ActivityWindow() override;

    QTableView* table() const { return table_; }
    QWidget* control(ActivityControl c) const { return layout_.control(c); }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void applyWindow();
    void refreshContent();

    ActivityModel& model_;
    Twips twips_;
    ControlBinder binder_;
    LayoutBuilder layout_;
    TimelineView* timeline_ = nullptr;
    ActivityTableModel* rows_ = nullptr;
    QTableView* table_ = nullptr;
    Connection contentListener_;
};

}  // namespace relaydeck

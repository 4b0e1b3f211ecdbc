#pragma once
/// @file
/// @brief Keeps a window's widgets in step with its model, both ways.

#include <QAction>
#include <QMenuBar>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "controller/OperatorTexts.h"
#include "controller/WindowModel.h"

namespace relaydeck {

/// @brief Creates the widget of each model control and binds the two.
///
/// Model to view: every change the model reports is shown (text, tick state, colour,
/// enabled and visible flags). View to model: edits call setText, clicks call click,
/// a check-box click sets the value the operator asked for (0 -> 1, 1 -> 0, 2 -> 0).
/// The widgets carry the controls' names as object names. Captions, tooltips and menu
/// entries show in the language in force, and anew when it changes.
class ControlBinder : public WindowObserver {
  public:
    /// @brief @p onWindowChanged runs when the model reports a window change, and when the
    /// language of @p texts changes (nullptr: the texts as designed, for good).
    ControlBinder(WindowModel& model, std::function<void()> onWindowChanged,
                  const OperatorTexts* texts = nullptr);
    ~ControlBinder() override;
    ControlBinder(const ControlBinder&) = delete;
    ControlBinder& operator=(const ControlBinder&) = delete;

    /// @brief Creates control @p id's widget as a child of @p parent, by its kind.
    QWidget* createWidget(int id, QWidget* parent);
    /// @brief Creates control @p id as a command entry on @p menu (a menu bar or a menu);
    /// an entry whose model value is 1 shows a tick.
    QAction* createMenuEntry(int id, QWidget* menu);

    /// @brief @p text as the operator sees it in the language in force.
    QString shown(std::string_view text) const;
    /// @brief Runs @p retranslate (now and) after each change of language.
    void addTranslation(std::function<void()> retranslate);

    /// @brief Shows control @p id's text through @p filter (labels only), for texts whose
    /// layout a plain label would not reproduce.
    void setDisplayFilter(int id, std::function<QString(const QString&)> filter);

    /// @brief The name and creation text of control @p id, as the model defines it.
    const char* definitionName(int id) const { return model_.definition(id).name; }
    const char* definitionText(int id) const { return model_.definition(id).text; }

    QWidget* widget(int id) const { return widgets_.at(static_cast<std::size_t>(id)); }
    QAction* action(int id) const { return actions_.at(static_cast<std::size_t>(id)); }

    void controlChanged(int id) override;
    void windowChanged() override;
    /// @brief The check-box value as Qt shows it.
    static Qt::CheckState checkState(int value);

  private:
    void apply(int id);
    void languageChanged();
    WindowModel& model_;
    const OperatorTexts* texts_;
    std::unique_ptr<OperatorTexts::Listening> listening_;
    std::vector<std::function<void()>> translations_;
    std::function<void()> onWindowChanged_;
    std::vector<QWidget*> widgets_;
    std::vector<QAction*> actions_;
    std::vector<std::function<QString(const QString&)>> filters_;
};

/// @brief An RGB model colour as a QColor.
QColor toQColor(Rgb colour);

}  // namespace relaydeck

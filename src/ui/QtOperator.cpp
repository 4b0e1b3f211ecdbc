#include "ui/QtOperator.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSpacerItem>
#include <algorithm>

#include "ui/AboutDialog.h"
#include "ui/MessageBoxLayout.h"

namespace relaydeck {

namespace {

/// Makes the box wide enough for its whole title, which the window system would otherwise
/// cut short: a message box sizes itself by what its layout needs, so an empty row as
/// wide as the title (and the title bar's buttons) is added below its contents.
void widenForTitle(QMessageBox& dialog) {
    constexpr int kTitleBarButtonsPx = 140;
    const int width =
        QFontMetrics(dialog.font()).horizontalAdvance(dialog.windowTitle()) + kTitleBarButtonsPx;
    auto* spacer = new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addItem(spacer, grid->rowCount(), 0, 1, grid->columnCount());
    } else if (QLayout* layout = dialog.layout()) {
        layout->addItem(spacer);
    } else {
        delete spacer;
        dialog.setMinimumWidth(width);
    }
}

/// The label that shows @p box's text (Qt names it only privately).
QLabel* textLabel(const QMessageBox& box) {
    const QList<QLabel*> labels = box.findChildren<QLabel*>();
    const auto found = std::find_if(labels.begin(), labels.end(),
                                    [&box](const QLabel* l) { return l->text() == box.text(); });
    return found == labels.end() ? nullptr : *found;
}

/// A message box that shows its whole text, wrapped at a share of the screen's width as
/// Windows' does, and stands clear of its owner window when the screen has room.
class WrappedMessageBox : public QMessageBox {
  public:
    explicit WrappedMessageBox(QWidget* owner) : QMessageBox(owner), owner_(owner) {}

  protected:
    void showEvent(QShowEvent* event) override {
        // QMessageBox sizes itself here; the text's width is settled after it.
        QMessageBox::showEvent(event);
        fitToText();
        placeClearOfOwner();
    }

  private:
    void fitToText() {
        QLabel* label = textLabel(*this);
        if (label == nullptr || layout() == nullptr) return;
        const QRect area = screen()->availableGeometry();
        const int wrapPx = messageWrapWidthPx(area.width());
        const QFontMetrics metrics(label->font());
        const QRect wrapped = metrics.boundingRect(QRect(0, 0, wrapPx, area.height()),
                                                   Qt::TextWordWrap | Qt::TextExpandTabs, text());
        label->setWordWrap(true);
        label->setFixedWidth(std::min(wrapPx, wrapped.width() + 2));
        layout()->activate();
        const int width = std::max(layout()->totalMinimumSize().width(), minimumWidth());
        const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width)
                                                         : layout()->totalMinimumSize().height();
        setFixedSize(width, height);
    }

    void placeClearOfOwner() {
        if (owner_ == nullptr || !owner_->isVisible()) return;
        const QWidget* window = owner_->window();
        // This box's frame is not known before it is up: the owner's is the estimate.
        const QRect ownerFrame = window->frameGeometry();
        const QRect ownerInside = window->geometry();
        const QSize frameExtra(ownerFrame.width() - ownerInside.width(),
                               ownerFrame.height() - ownerInside.height());
        const QRect area = window->screen()->availableGeometry();
        // The inside is placed (the window system adds the frame around it).
        if (const auto at = placeClearOf(size() + frameExtra, ownerFrame, area)) {
            setGeometry(QRect(*at + (ownerInside.topLeft() - ownerFrame.topLeft()), size()));
        }
    }

    QPointer<QWidget> owner_;
};

}  // namespace

MessageAnswer QtOperator::showMessage(const MessageBoxRequest& box) {
    WrappedMessageBox dialog(owner_);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setWindowTitle(QString::fromStdString(box.title));
    dialog.setTextFormat(Qt::PlainText);
    dialog.setText(QString::fromStdString(box.prompt));
    switch (box.icon) {
        case MessageIcon::None:
            dialog.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Question:
            dialog.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Critical:
            dialog.setIcon(QMessageBox::Critical);
            break;
    }
    if (box.buttons == MessageButtons::YesNo) {
        dialog.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        dialog.setDefaultButton(QMessageBox::Yes);
        widenForTitle(dialog);
        return dialog.exec() == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    dialog.setStandardButtons(QMessageBox::Ok);
    widenForTitle(dialog);
    dialog.exec();
    return MessageAnswer::Ok;
}

void QtOperator::showAbout(AboutModel& about) {
    AboutDialog dialog(about, owner_);
    dialog.exec();
}

}  // namespace relaydeck

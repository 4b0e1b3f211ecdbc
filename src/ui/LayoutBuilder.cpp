#include "ui/LayoutBuilder.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

#include "ui/Fonts.h"
#include "ui/Widgets.h"

namespace relaydeck {

namespace {

Qt::Alignment toQt(TextAlign align) {
    switch (align) {
        case TextAlign::Centre:
            return Qt::AlignHCenter;
        case TextAlign::Right:
            return Qt::AlignRight;
        case TextAlign::Left:
            break;
    }
    return Qt::AlignLeft;
}

/// The picture scaled to cover @p size, keeping its proportions, cut to the middle.
QPixmap coverPicture(const QPixmap& picture, QSize size) {
    if (picture.isNull()) return {};
    const QPixmap scaled =
        picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    const QPoint offset((scaled.width() - size.width()) / 2, (scaled.height() - size.height()) / 2);
    return scaled.copy(QRect(offset, size));
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

QRect pixels(const Twips& twips, const TwipsRect& r) {
    return twips.rect(r.left, r.top, r.width, r.height);
}

}  // namespace

LayoutBuilder::LayoutBuilder(const WindowLayout& layout, ControlBinder& binder, const Twips& twips)
    : layout_(layout), binder_(binder), twips_(twips) {}

QWidget* LayoutBuilder::parentFor(int frame, QWidget* client) const {
    return frame == kClientArea ? client : frames_.at(static_cast<std::size_t>(frame));
}

void LayoutBuilder::build(QWidget* client) {
    const QFont windowFont = fontFor(layout_.font);
    client->setFont(windowFont);
    if (layout_.background.kind == Colour::Kind::Fixed ||
        layout_.foreground.kind == Colour::Kind::Fixed) {
        QPalette palette = client->palette();
        if (layout_.background.kind == Colour::Kind::Fixed) {
            palette.setColor(QPalette::Window, toQColor(layout_.background.rgb));
            client->setAutoFillBackground(true);
        }
        if (layout_.foreground.kind == Colour::Kind::Fixed) {
            palette.setColor(QPalette::WindowText, toQColor(layout_.foreground.rgb));
        }
        client->setPalette(palette);
    }

    for (const FrameLayout& f : layout_.frames) {
        auto* frame = new QGroupBox(client);
        frame->setObjectName(QString::fromUtf8(f.name));
        frame->setFont(fontFor(f.font));
        frame->setGeometry(pixels(twips_, f.rect));
        frames_.push_back(frame);
    }
    for (const CaptionLayout& c : layout_.captions) {
        auto* label = new QLabel(parentFor(c.frame, client));
        captions_.push_back(label);
        label->setAlignment(toQt(c.align) | Qt::AlignVCenter);
        label->setGeometry(pixels(twips_, c.rect));
        label->setEnabled(c.enabled);
        // A frame's caption alone is in the frame's face; its contents use the window's.
        label->setFont(windowFont);
    }
    for (const ControlPlacement& p : layout_.controls) placeControl(p, client);
    binder_.addTranslation([this] {
        for (std::size_t i = 0; i < frames_.size(); ++i) {
            frames_[i]->setTitle(binder_.shown(layout_.frames[i].caption));
        }
        for (std::size_t i = 0; i < captions_.size(); ++i) {
            captions_[i]->setText(binder_.shown(layout_.captions[i].text));
        }
    });
}

void LayoutBuilder::placeControl(const ControlPlacement& p, QWidget* client) {
    QWidget* parent = parentFor(p.frame, client);
    const QRect rect = pixels(twips_, p.rect);
    if (p.look == Look::EtchedLine) {
        auto* line = new EtchedLine(parent);
        line->setObjectName(QString::fromUtf8(binder_.definitionName(p.control)));
        line->setGeometry(rect);
        if (extras_.size() <= static_cast<std::size_t>(p.control)) {
            extras_.resize(static_cast<std::size_t>(p.control) + 1, nullptr);
        }
        extras_[static_cast<std::size_t>(p.control)] = line;
        return;
    }
    QWidget* widget = binder_.createWidget(p.control, parent);
    widget->setGeometry(rect);
    QFont font = p.font ? fontFor(*p.font) : fontFor(layout_.font);
    widget->setFont(font);

    switch (p.text.kind) {
        case Colour::Kind::Fixed:
            setTextColour(widget, toQColor(p.text.rgb));
            break;
        case Colour::Kind::HighlightText:
            setTextColour(widget, client->palette().color(QPalette::HighlightedText));
            break;
        case Colour::Kind::Default:
            // Buttons keep the system's colours on a coloured window.
            if (qobject_cast<QPushButton*>(widget) != nullptr &&
                layout_.background.kind == Colour::Kind::Fixed) {
                widget->setPalette(QGuiApplication::palette());
            }
            break;
    }

    auto* label = qobject_cast<QLabel*>(widget);
    if (label != nullptr) label->setAlignment(toQt(p.align) | Qt::AlignVCenter);
    switch (p.look) {
        case Look::CoverPicture:
            if (label != nullptr) {
                const QString file =
                    QStringLiteral(":/") + QString::fromUtf8(binder_.definitionText(p.control));
                label->setPixmap(coverPicture(QPixmap(file), rect.size()));
            }
            break;
        case Look::CentredPicture:
            if (label != nullptr) {
                const QString file =
                    QStringLiteral(":/") + QString::fromUtf8(binder_.definitionText(p.control));
                label->setPixmap(QPixmap(file));
                label->setAlignment(Qt::AlignCenter);
            }
            break;
        case Look::WrapText:
            if (label != nullptr) {
                label->setTextFormat(Qt::PlainText);
                label->setWordWrap(true);
                label->setAlignment(toQt(p.align) | Qt::AlignTop);
                // The long runs of blanks stand for line ends, whatever the font's width.
                binder_.setDisplayFilter(p.control, [](const QString& text) {
                    return QString::fromStdString(breakLongBlankRuns(text.toStdString(), "\n"));
                });
            }
            break;
        case Look::FitText:
            widget->adjustSize();
            widget->setFixedHeight(rect.height());
            break;
        case Look::DefaultButton:
            if (auto* button = qobject_cast<QPushButton*>(widget)) button->setDefault(true);
            break;
        case Look::ShrinkToFit:
            if (label != nullptr) {
                // Fitted again whenever the model gives the label a new text.
                const auto fit = [label, font, room = rect.width()](const QString& text) {
                    constexpr double kStepPoints = 0.75;
                    constexpr double kSmallestPoints = 6.0;
                    QFont fitted = font;
                    while (QFontMetrics(fitted).horizontalAdvance(text) > room &&
                           fitted.pointSizeF() - kStepPoints >= kSmallestPoints) {
                        fitted.setPointSizeF(fitted.pointSizeF() - kStepPoints);
                    }
                    if (label->font() != fitted) label->setFont(fitted);
                    return text;
                };
                fit(label->text());
                binder_.setDisplayFilter(p.control, fit);
            }
            break;
        case Look::Plain:
        case Look::EtchedLine:
            break;
    }
}

}  // namespace relaydeck

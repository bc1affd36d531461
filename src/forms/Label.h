// The label: a caption drawn in its colours, font and alignment over an
// optional background colour and picture.
#pragma once

#include <QImage>
#include <QWidget>

#include <string>

namespace forms {

class LabelWidget final : public QWidget {
    Q_OBJECT
public:
    explicit LabelWidget(QWidget* parent);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    void setTextColour(const QColor& colour);  // invalid = the platform's
    void setBackColour(const QColor& colour);  // invalid = transparent
    void setAlignment(Qt::Alignment alignment);
    void setWordWrap(bool wrap);
    void setPicture(const std::string& bytes);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor backColour_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap_ = true;
    std::string picture_;
    QImage decoded_;  // decoded when the picture is set
};

}  // namespace forms

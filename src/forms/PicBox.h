// The picture box: the picture property's image drawn at the top left,
// stretched, centred or tiled, over an optional background colour.
#pragma once

#include <QImage>
#include <QWidget>

#include <string>

namespace forms {

class PictureBoxWidget final : public QWidget {
    Q_OBJECT
public:
    explicit PictureBoxWidget(QWidget* parent);

    const std::string& picture() const { return picture_; }
    // Replaces the picture's bytes and decodes them once, here: painting only draws.
    void setPicture(const std::string& bytes);
    void setBackColour(const QColor& colour);
    void setDisplayMode(int32_t mode);
    void setBorder(int32_t border);
    // How often a picture has been decoded (once per picture set).
    int decodeCount() const { return decodes_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::string picture_;
    QImage decoded_;
    QColor backColour_;
    int32_t mode_ = 0, border_ = 0;
    int decodes_ = 0;
};

}  // namespace forms

#include "ui/BackgroundGeometry.h"
#include "core/NumberWords.h"

PixelBox PicturePlacement(const PixelRect& client, int32_t bitmapSize, int32_t pictureWidth, int32_t pictureHeight)
{
    // The client's right and bottom edges count as inclusive here, one pixel more than
    // the window shows; at 100 percent the extra row and column are simply clipped.
    PixelBox box{ client.left, client.top, client.right - client.left + 1, client.bottom - client.top + 1 };
    if (bitmapSize >= 100)
        return box;
    double share = bitmapSize * 0.01;
    box.width = static_cast<int32_t>(RoundToInt64(box.width * share));
    box.height = static_cast<int32_t>(RoundToInt64(box.height * share));
    box.x = (client.left + client.right - box.width) / 2;
    box.y = (client.top + client.bottom - box.height) / 2;
    int64_t w = RoundToInt64(pictureWidth * share);
    int64_t h = RoundToInt64(pictureHeight * share);
    // Centred again within the box found so far (its last row and column inclusive).
    if (w > h) {
        int32_t height = static_cast<int32_t>(box.height * h / w);
        box.y = (box.y + (box.y + box.height - 1) - height + 1) >> 1;
        box.height = height;
    } else if (h != 0) {
        int32_t width = static_cast<int32_t>(box.width * w / h);
        box.x = (box.x + (box.x + box.width - 1) - width + 1) >> 1;
        box.width = width;
    }
    return box;
}

GradientBands::GradientBands(const PixelRect& rect, uint32_t topColor, uint32_t bottomColor)
    : m_rect(rect)
    , m_nextTop(rect.top)
{
    int32_t height = rect.bottom - rect.top + 1;
    m_bandHeight = height / 224;
    if (m_bandHeight < 1)
        m_bandHeight = 1;
    if (m_bandHeight > 3)
        m_bandHeight = 3;
    m_steps = height / m_bandHeight;
    for (int i = 0; i < 3; ++i) {
        m_channels[i] = (topColor >> (8 * i)) & 0xff;
        if (m_steps > 0)
            m_steppers[i].Start(m_channels[i] - static_cast<int32_t>((bottomColor >> (8 * i)) & 0xff), m_steps);
    }
}

bool GradientBands::Next(PixelRect& band, uint32_t& color)
{
    if (m_nextTop >= m_rect.bottom)
        return false;
    if (m_stepped < m_steps) {
        ++m_stepped;
        for (int i = 0; i < 3; ++i)
            m_channels[i] -= m_steppers[i].Next();
    }
    band = { m_rect.left, m_nextTop, m_rect.right + 1, m_nextTop + m_bandHeight };
    m_nextTop += m_bandHeight;
    color = static_cast<uint32_t>(m_channels[0] | (m_channels[1] << 8) | (m_channels[2] << 16));
    return true;
}

bool TitleLineReader::Next(const char*& line, int32_t& length)
{
    if (m_position > m_length)
        return false;
    int32_t end = m_position;
    while (end < m_length && m_text[end] != '\r' && m_text[end] != '\n')
        ++end;
    line = m_text + m_position;
    length = end - m_position;
    while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t'))
        --length;
    if (end >= m_length)
        m_position = m_length + 1;
    else if (end + 1 < m_length && (m_text[end + 1] == '\r' || m_text[end + 1] == '\n') && m_text[end + 1] != m_text[end])
        m_position = end + 2;
    else
        m_position = end + 1;
    return true;
}

bool TitleFits(const PixelRect& client, int32_t shadow, int32_t textWidth)
{
    return shadow + textWidth + 2 < client.right;
}

void TitleOrigin(const PixelRect& client, int position, int32_t shadow, int32_t textWidth, int32_t textHeight,
                 int32_t& x, int32_t& y)
{
    switch (position) {
    case kTitleTopCenter:
    case kTitleBottomCenter:
        x = (client.right - textWidth) / 2;
        break;
    case kTitleTopRight:
    case kTitleBottomRight:
        x = client.right - shadow - textWidth - 2;
        break;
    default:
        x = 2;
    }
    y = position >= kTitleBottomLeft ? client.bottom - shadow - textHeight - 1 : 1;
}

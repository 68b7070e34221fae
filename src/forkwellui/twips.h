// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>

#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QSize>

// The windows' layouts are given in twips, 1440 to the inch, for type whose
// lines stand 195 twips apart (13 pixels at 96 dots per inch). A window maps
// its layout to pixels with one factor, so the arrangement keeps its
// proportions: the factor follows the line spacing of the window's font, and
// grows wherever a text would not fit the room the layout gives it.
class TwipsScale
{
public:
    static constexpr double LayoutLineTwips = 195.0;

    // atLeast: the main window's factor, so that every window of the
    // program is drawn at the same scale unless its own texts need more.
    explicit TwipsScale(const QFontMetrics &metrics, double atLeast = 0.0)
        : m_pixelsPerTwip(std::max(metrics.lineSpacing() / LayoutLineTwips, atLeast))
    {
    }

    // Grows the factor, if need be, so that pixels fit into twips (> 0).
    void fit(int pixels, int twips)
    {
        m_pixelsPerTwip = std::max(m_pixelsPerTwip, static_cast<double>(pixels) / twips);
    }

    double pixelsPerTwip() const { return m_pixelsPerTwip; }

    int pixels(int twips) const { return static_cast<int>(std::lround(twips * m_pixelsPerTwip)); }
    QPoint point(int left, int top) const { return {pixels(left), pixels(top)}; }
    QSize size(int width, int height) const { return {pixels(width), pixels(height)}; }
    QRect rect(int left, int top, int width, int height) const
    {
        return {point(left, top), size(width, height)};
    }

private:
    double m_pixelsPerTwip;
};

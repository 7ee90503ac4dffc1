#include "WindowPlacement.h"

void WindowPlacement::place(const QPoint &outerTopLeft)
{
    m_place = outerTopLeft;
    m_pending = true;
}

void WindowPlacement::resize(const QSize &outer)
{
    m_size = outer;
    m_pending = true;
}

std::optional<QRect> WindowPlacement::apply(const QRect &inside, const QMargins &frame, Shown shown,
                                            bool frameFinal)
{
    if (!m_pending || shown == Shown::Minimised || shown == Shown::Maximised)
        return std::nullopt;
    QRect wanted = inside;
    if (m_size.isValid())
        wanted.setSize(m_size.shrunkBy(frame));
    if (m_place)
        wanted.moveTopLeft(*m_place + QPoint(frame.left(), frame.top()));
    m_pending = !(shown == Shown::Normal && frameFinal);
    if (wanted == inside)
        return std::nullopt;
    return wanted;
}

QRect WindowPlacement::outer(const QRect &inside, const QMargins &frame, Shown shown) const
{
    const QRect seen = inside.marginsAdded(frame);
    if (!m_pending || shown == Shown::Maximised)
        return seen;
    return {m_place.value_or(seen.topLeft()), m_size.isValid() ? m_size : seen.size()};
}

#pragma once

#include <QWidget>

namespace duva::frota
{

// A tab whose part of the work is not in this version yet: it says so, and where the work
// can be done meanwhile.
class PlaceholderTab : public QWidget
{
    Q_OBJECT
public:
    PlaceholderTab(const QString& text, QWidget* parent = nullptr);
};

} // namespace duva::frota

#pragma once
// The result window and the about box: named, placed and sized, Arial at
// 11 pixels (with a CJK fallback for the Chinese texts), and closing them
// only hides them.
#include <QRect>
#include <QString>

class QWidget;

namespace px {

void SetUpSecondaryWindow(QWidget* w, const QString& name, const QString& title, QRect geometry);

}  // namespace px

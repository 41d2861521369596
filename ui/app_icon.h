#pragma once
// The pictures of the program, drawn from the SVG files compiled in.
#include <QIcon>
#include <QString>

QIcon AppIcon();
// A button picture by name ("entetes", "apercu", "supprimer", "amis", "intrus").
QIcon ButtonIcon(const QString& name);

#pragma once

#include <QCursor>

/// The busy cursor of a run: an hourglass with "SQL" beneath it.
QCursor sqlWaitCursor();

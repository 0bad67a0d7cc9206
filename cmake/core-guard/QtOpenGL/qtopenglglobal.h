// SPDX-License-Identifier: GPL-3.0-or-later
// Every header of QtOpenGL includes <QtOpenGL/qtopenglglobal.h>. A core library finds this file
// before Qt's own (orva_core_library puts the folder first on its include path), so any such
// header fails to compile there.
#error "ORVA core libraries use QtCore only, no QtOpenGL"

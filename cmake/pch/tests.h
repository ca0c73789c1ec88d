// What the test programs include besides the windows: GoogleTest, precompiled
// once for every test program (cmake/PrecompiledHeaders.cmake). Qt Test's
// headers stay out: they read QT_TESTCASE_BUILDDIR, which differs for every
// test program, so a header made with them would fit none of the others.
#pragma once

#include "widgets.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

namespace Lumerix {

/// The child of `parent` named `name`; a test failure (and null) when there is none.
template <typename T> T* Find(QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

} // namespace Lumerix

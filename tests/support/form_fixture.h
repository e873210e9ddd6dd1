#pragma once
// A fresh main window for each test, built on the fake environment.

#include "support/controls.h"
#include "support/fake_environment.h"

#include <QImage>
#include <gtest/gtest.h>
#include <memory>

namespace kab::test {

class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Shows the window and waits until it is exposed.
    void showForm();

    std::unique_ptr<TForm1> form;
};

} // namespace kab::test

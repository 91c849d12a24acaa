// Sets the desktop up once for the whole test program.
#include "WineSession.h"

#include <gtest/gtest.h>

namespace {

class E2eEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        session_ = std::make_unique<WineSession>(QV_WINDOWS_BUILD, QV_SOURCE_DIR);
        ASSERT_TRUE(session_->Start()) << "no X display or Wine prefix for the end-to-end tests";
    }
    void TearDown() override { session_.reset(); }

private:
    std::unique_ptr<WineSession> session_;
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new E2eEnvironment);

} // namespace

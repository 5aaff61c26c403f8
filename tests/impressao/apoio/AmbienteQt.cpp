// Every printing test needs a QGuiApplication; offscreen so that no display is needed.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>
#include <QGuiApplication>

namespace {

class AmbienteQt : public testing::Environment {
  public:
    void SetUp() override {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char nome_[16] = "impressao_teste";
    char* argv_[2] = {nome_, nullptr};
    std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] testing::Environment* const ambiente =
    testing::AddGlobalTestEnvironment(new AmbienteQt);

}  // namespace

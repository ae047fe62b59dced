// The editing operations on small drawings: what each writes.
#include <gtest/gtest.h>

#include "editing/transforms.h"
#include "edit_support.h"

namespace vestrel {
namespace {

TEST(Transforms, Placeholder) { SUCCEED(); }

}  // namespace
}  // namespace vestrel

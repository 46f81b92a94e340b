#include "camera/path.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "camera/camera_key.h"
#include "support/fresh_folder.h"

namespace {

const char* const kTangentMessage =
    "ComputeTangentVector : pas assez de cl\xe9s dans la trajectoire pour le calcul des tangentes";

// A chain of keys on the x axis: camera at x, target at 2x, ten frames apart.
class Chain {
 public:
  explicit Chain(const std::vector<float>& xs) {
    for (std::size_t i = 0; i < xs.size(); ++i) {
      auto key = std::make_unique<CameraKey>();
      key->numframe = static_cast<std::int32_t>(10 * i);
      key->camera = vertex3d(xs[i], 0.0f, 0.0f);
      key->target = vertex3d(2.0f * xs[i], 0.0f, 0.0f);
      if (!keys_.empty()) keys_.back()->next = key.get();
      keys_.push_back(std::move(key));
    }
  }
  CameraKey* first() { return keys_.empty() ? nullptr : keys_.front().get(); }
  CameraKey& operator[](std::size_t i) { return *keys_[i]; }

 private:
  std::vector<std::unique_ptr<CameraKey>> keys_;
};

using TangentTest = InFreshFolder;

TEST_F(TangentTest, KeysOnALineGetTheChordAsTangentEverywhere) {
  Chain chain({0.0f, 10.0f, 20.0f, 30.0f});
  ComputeTangentVector(chain.first(), 4);
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(chain[i].cameraTangent.x, 10.0f) << "key " << i;
    EXPECT_FLOAT_EQ(chain[i].targetTangent.x, 20.0f) << "key " << i;
    EXPECT_FLOAT_EQ(chain[i].cameraTangent.y, 0.0f);
  }
  D3DXVECTOR3 out;
  spline_inter(key_position(chain[0].camera), chain[0].cameraTangent, key_position(chain[1].camera),
               chain[1].cameraTangent, 0, 10, 5, &out);
  EXPECT_FLOAT_EQ(out.x, 5.0f);
  EXPECT_EQ(log_text(), "");
}

TEST_F(TangentTest, ZigZagKeysGetFlatInteriorAndNaturalEnds) {
  Chain chain({0.0f, 10.0f, 0.0f, 10.0f});
  ComputeTangentVector(chain.first(), 4);
  EXPECT_FLOAT_EQ(chain[1].cameraTangent.x, 0.0f);
  EXPECT_FLOAT_EQ(chain[2].cameraTangent.x, 0.0f);
  EXPECT_FLOAT_EQ(chain[0].cameraTangent.x, 15.0f);  // 1.5 * 10 - 0.5 * 0
  EXPECT_FLOAT_EQ(chain[3].cameraTangent.x, 15.0f);  // 1.5 * (10 - 0) - 0.5 * 0
  EXPECT_FLOAT_EQ(chain[0].targetTangent.x, 30.0f);
}

TEST_F(TangentTest, TwoRecordsWithALargeCountUseTheFreshFirstTangentForTheLast) {
  Chain chain({0.0f, 8.0f});
  ComputeTangentVector(chain.first(), 5);
  EXPECT_FLOAT_EQ(chain[0].cameraTangent.x, 12.0f);  // 1.5 * 8
  EXPECT_FLOAT_EQ(chain[1].cameraTangent.x, 6.0f);   // 1.5 * 8 - 0.5 * 12 = 0.75 * 8
}

TEST_F(TangentTest, ThreeKeysOrFewerLogInLatin1AndKeepZeroTangentsThatEase) {
  Chain chain({0.0f, 10.0f, 20.0f});
  ComputeTangentVector(chain.first(), 3);
  EXPECT_EQ(log_text(), kTangentMessage);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(chain[i].cameraTangent, D3DXVECTOR3()) << "key " << i;
    EXPECT_EQ(chain[i].targetTangent, D3DXVECTOR3()) << "key " << i;
  }
  const D3DXVECTOR3 zero;
  D3DXVECTOR3 out;
  spline_inter(key_position(chain[0].camera), zero, key_position(chain[1].camera), zero, 0, 10, 5,
               &out);
  EXPECT_FLOAT_EQ(out.x, 5.0f);
  spline_inter(key_position(chain[0].camera), zero, key_position(chain[1].camera), zero, 20, 40, 25,
               &out);
  EXPECT_FLOAT_EQ(out.x, 1.5625f);
}

TEST_F(TangentTest, ChainsShorterThanTwoAreLeftAlone) {
  ComputeTangentVector(nullptr, 7);
  Chain single({4.0f});
  single[0].cameraTangent = D3DXVECTOR3(1.0f, 2.0f, 3.0f);
  ComputeTangentVector(single.first(), 7);
  EXPECT_EQ(single[0].cameraTangent, D3DXVECTOR3(1.0f, 2.0f, 3.0f));
  EXPECT_EQ(log_text(), "");
}

using LinearInterTest = InFreshFolder;

TEST_F(LinearInterTest, LogsTheRatioWithThreeDecimals) {
  D3DXVECTOR3 out;
  linear_inter(D3DXVECTOR3(4.0f, 0.0f, -8.0f), D3DXVECTOR3(8.0f, 4.0f, 8.0f), 20, 40, 25, &out);
  EXPECT_EQ(log_text(), "\n linear_inter -> ratio : 0.250");
  EXPECT_FLOAT_EQ(out.x, 5.0f);
  EXPECT_FLOAT_EQ(out.y, 1.0f);
  EXPECT_FLOAT_EQ(out.z, -4.0f);
}

TEST(SegmentRatio, IsTheFrameOffsetOverTheSegmentLength) {
  EXPECT_FLOAT_EQ(segment_ratio(20, 40, 30), 0.5f);
  EXPECT_FLOAT_EQ(segment_ratio(20, 40, 50), 1.5f);  // extrapolates beyond
  EXPECT_FLOAT_EQ(segment_ratio(20, 20, 25), 0.0f);  // no division by zero
  EXPECT_FLOAT_EQ(segment_ratio(-2147483647 - 1, 2147483647, 2147483647), 1.0f);
}

}  // namespace

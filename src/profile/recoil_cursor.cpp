#include "profile/recoil_cursor.h"

#include <algorithm>

#include "profile/recoil_file.h"

namespace varkon {

void RecoilCursor::SelectGun(int n) {
  gun_ = std::max(std::min(n, kRecoilGunCount - 1), 0);
}

void RecoilCursor::SelectBullet(int n) {
  bullet_ = std::max(std::min(n, kRecoilBulletCount - 1), 0);
}

}  // namespace varkon

// The gun and bullet the recoil editor shows. Selections are clamped, never wrapped: gun 0-3,
// bullet 0-29 (shown 1-based).
#pragma once

namespace varkon {

class RecoilCursor {
 public:
  int Gun() const { return gun_; }
  // -1 until the first SelectBullet.
  int Bullet() const { return bullet_; }

  void SelectGun(int n);
  void SelectBullet(int n);
  void PrevBullet() { SelectBullet(bullet_ - 1); }
  void NextBullet() { SelectBullet(bullet_ + 1); }

 private:
  int gun_ = 0;
  int bullet_ = -1;
};

}  // namespace varkon

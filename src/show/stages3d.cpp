#include "show/stages3d.h"

Show3d::~Show3d() { teardown(); }

void Show3d::stage1() {}

void Show3d::stage2() {}

void Show3d::stage3() {}

void Show3d::stage4() {}

void Show3d::stage5() {}

void Show3d::teardown() {}

void Show3d::window_c() { frames.echec += 1.0f; }

void Show3d::window_d() { frames.tunnel += 1.5f; }

void Show3d::window_e() { frames.indus += 10.0f; }

void Show3d::window_f() { frames.greets += 1.0f; }

void Show3d::window_g() { frames.credits += 20.0f; }

void Show3d::node_inset() { frames.node += 2.0f; }

#pragma once
// Frame arithmetic of the wait window's animation strip (420 x 80 frames,
// stacked vertically).
namespace vel {

// Frames in a strip of the given height; a height that is not a whole number
// of frames shows only the first frame.
inline int WaitFrameCount(int stripHeight) {
  if (stripHeight < 80 || stripHeight % 80 != 0) return 1;
  return stripHeight / 80;
}

inline int NextWaitFrame(int frame, int frames) { return frames > 0 ? (frame + 1) % frames : 0; }

}  // namespace vel

// How much of the model the view draws while the camera moves: everything when a whole frame
// is fast enough, otherwise a share of the faces (the largest first) that the times of the last
// frames say can be drawn and shown in about kAimMs. Times in milliseconds, of drawing and
// showing the frame.
#pragma once

class CFrameBudget {
public:
    // A model whose whole frame takes less than this is drawn whole during navigation too.
    static constexpr double kWholeFrameMs = 60.0;
    // What a reduced frame aims at, leaving room under kWholeFrameMs for the noise of a
    // shared machine.
    static constexpr double kAimMs = 40.0;
    // The least share a reduced frame draws, however slow the machine.
    static constexpr double kLeastShare = 0.005;
    // Stillness after which every face is drawn again.
    static constexpr int kSettleMs = 300;

    // The share of the model, in (0, 1], that the next frame drawn while the camera moves
    // draws; 1 until a whole frame has been timed.
    double NavigationShare() const;

    // After every frame: the share it drew and the time it took to draw and show (without
    // building and uploading buffers).
    void Record(double share, double milliseconds);

    // The model was replaced or changed: earlier times say nothing about the next frame.
    void Forget() { *this = CFrameBudget(); }

private:
    double m_wholeMs = -1;  // the last whole frame; -1 until one was timed
    double m_share = 1;     // what the next reduced frame draws
    bool m_tuned = false;   // m_share comes from the time of a reduced frame
};

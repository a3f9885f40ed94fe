#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QtGlobal>

#include <vector>

// A camera watching a still scene, frame by frame as it would send them: every frame gets its own
// sensor noise and brightness wobble and is encoded as JPEG again at a varying quality. With a
// moving object, a dark disc crosses the scene, one diameter further each frame.
class NoisyScene
{
public:
    struct Options
    {
        QSize size{640, 480};
        double noiseSigma = 6; // grey levels, per pixel and channel
        double gainJitter = 0.02; // the brightness of a frame varies by up to this share
        int minQuality = 60; // JPEG quality, drawn per frame
        int maxQuality = 90;
        int objectDiameter = 0; // the moving object's size in pixels; 0: none
        quint32 seed = 1;
    };

    explicit NoisyScene(const Options &options);

    // Frame n (from 0) as JPEG bytes; the same n gives the same bytes.
    QByteArray frame(int n) const;

private:
    Options m_options;
    QImage m_scene;
    std::vector<float> m_noise; // normally distributed numbers, mean 0 and spread 1
};

// A frame decoded as a slot decodes a reply: straight to the slot's size.
QImage decodeFrame(const QByteArray &jpeg, const QSize &slotSize);

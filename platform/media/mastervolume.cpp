#include "platform/media/mastervolume.h"

#include <QStringList>

#include <alsa/asoundlib.h>

#include <algorithm>

namespace platform::media {

struct AlsaMasterVolume::Handle {
    snd_mixer_t* mixer = nullptr;
    snd_mixer_elem_t* element = nullptr;
};

AlsaMasterVolume::AlsaMasterVolume(const QString& card, const QString& control)
{
    snd_mixer_t* mixer = nullptr;
    if (snd_mixer_open(&mixer, 0) < 0 || !mixer)
        return;
    const QByteArray cardName = card.toLocal8Bit();
    const QByteArray controlName = control.toLocal8Bit();
    snd_mixer_selem_id_t* id = nullptr;
    if (snd_mixer_attach(mixer, cardName.constData()) < 0 || snd_mixer_selem_register(mixer, nullptr, nullptr) < 0
        || snd_mixer_load(mixer) < 0 || snd_mixer_selem_id_malloc(&id) < 0) {
        snd_mixer_close(mixer);
        return;
    }
    snd_mixer_selem_id_set_index(id, 0);
    snd_mixer_selem_id_set_name(id, controlName.constData());
    snd_mixer_elem_t* element = snd_mixer_find_selem(mixer, id);
    snd_mixer_selem_id_free(id);
    if (!element || !snd_mixer_selem_has_playback_volume(element)) {
        snd_mixer_close(mixer);
        return;
    }
    h_ = std::make_unique<Handle>();
    h_->mixer = mixer;
    h_->element = element;
}

AlsaMasterVolume::~AlsaMasterVolume()
{
    if (h_)
        snd_mixer_close(h_->mixer);
}

bool AlsaMasterVolume::isOpen() const
{
    return h_ != nullptr;
}

bool AlsaMasterVolume::range(int32_t& minimum, int32_t& maximum)
{
    long lo = 0;
    long hi = 0;
    if (!h_ || snd_mixer_selem_get_playback_volume_range(h_->element, &lo, &hi) < 0)
        return false;
    minimum = static_cast<int32_t>(lo);
    maximum = static_cast<int32_t>(hi);
    return true;
}

bool AlsaMasterVolume::get(int32_t& value)
{
    long v = 0;
    if (!h_ || snd_mixer_selem_get_playback_volume(h_->element, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

bool AlsaMasterVolume::set(int32_t value)
{
    return h_ && snd_mixer_selem_set_playback_volume_all(h_->element, value) >= 0;
}

MasterVolume::MasterVolume(std::function<void(double)> applyToPlayers, std::unique_ptr<IMasterVolume> card)
    : apply_(std::move(applyToPlayers)), card_(std::move(card)), cardTried_(card_ != nullptr)
{
}

IMasterVolume* MasterVolume::card()
{
    if (!cardTried_) {
        cardTried_ = true;
        auto alsa = std::make_unique<AlsaMasterVolume>();
        if (alsa->isOpen())
            card_ = std::move(alsa);
    }
    return card_.get();
}

bool MasterVolume::range(int32_t& minimum, int32_t& maximum)
{
    if (IMasterVolume* c = card())
        return c->range(minimum, maximum);
    minimum = 0;
    maximum = kOwnMaximum;
    return true;
}

bool MasterVolume::get(int32_t& value)
{
    if (IMasterVolume* c = card())
        return c->get(value);
    value = own_;
    return true;
}

bool MasterVolume::set(int32_t value)
{
    if (IMasterVolume* c = card())
        return c->set(value);
    own_ = std::clamp<int32_t>(value, 0, kOwnMaximum);
    if (apply_)
        apply_(static_cast<double>(own_) / kOwnMaximum);
    return true;
}

bool FakeMixer::range(int32_t& lo, int32_t& hi)
{
    calls << QStringLiteral("range");
    if (fails)
        return false;
    lo = minimum;
    hi = maximum;
    return true;
}

bool FakeMixer::get(int32_t& v)
{
    calls << QStringLiteral("get");
    if (fails)
        return false;
    v = value;
    return true;
}

bool FakeMixer::set(int32_t v)
{
    calls << QStringLiteral("set %1").arg(v);
    if (fails)
        return false;
    value = v;
    return true;
}

} // namespace platform::media

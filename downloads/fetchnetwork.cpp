// The Net path of the background fetcher: until its sockets and hidden
// browsers are here, an item on the Net shows as a failed fetch (an empty
// cell that counts as in), so a slide show steps on over it.

#include "downloads/backgroundfetcher.h"

#include "mainwindow/frmexplorer.h"

QString BackgroundFetcher::CrackFetchUrl(int16_t)
{
    return {};
}

void BackgroundFetcher::RunFetchSlot(int16_t slot, int16_t)
{
    WriteFetchResultPage(slot, QString(), f_.AutoImageResize != 0);
}

void BackgroundFetcher::OpenFetchPageForClick(int16_t slot)
{
    WriteFetchResultPage(slot, QString(), f_.AutoImageResize != 0);
}

void BackgroundFetcher::ReadFetchProxy() {}

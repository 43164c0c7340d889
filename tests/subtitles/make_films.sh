#!/usr/bin/env bash
# Makes the subtitle fixtures from one .srt with ffmpeg: the same lines as
# SubStation and WebVTT files, as a Matroska film's SubStation and SubRip
# tracks, as an MP4 film's text track, and a film with no text track.
# GStreamer's registry (GST_REGISTRY_1_0) is made here too, so that the
# tests do not scan the plug-ins, which leaves memory behind for good.
# Usage: make_films.sh SRT OUT_FOLDER
set -euo pipefail
srt=$1 out=$2
mkdir -p "$out"
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }
picture=(-f lavfi -i color=c=gray:s=160x120:r=25:d=80)
name=$(basename "$srt" .srt)
cp "$srt" "$out/$name.srt"
ff -i "$srt" "$out/$name.ass"
ff -i "$srt" -c:s ssa "$out/$name.ssa"
ff -i "$srt" "$out/$name.vtt"
ff "${picture[@]}" -i "$srt" -c:v libx264 -preset ultrafast -c:s ass "$out/$name-ass.mkv"
ff "${picture[@]}" -i "$srt" -c:v libx264 -preset ultrafast -c:s srt "$out/$name-srt.mkv"
ff "${picture[@]}" -i "$srt" -c:v libx264 -preset ultrafast -c:s mov_text "$out/$name.mp4"
ff "${picture[@]}" -c:v libx264 -preset ultrafast "$out/silent.mkv"
gst-inspect-1.0 parsebin > /dev/null

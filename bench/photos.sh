# Sourced by the benchmarks: installs the tools they compare with and makes (once) the
# camera-like test pictures and music they work on.

# bench_need PACKAGE ... → installs the Debian packages that are missing (through sudo when not
# run as root).
bench_need() {
  local missing=() p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "installing ${missing[*]}" >&2
  local sudo=
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# bench_photos COUNT → prints the folder holding photo-001.jpg … (4000 × 3000, fractal detail
# over soft colour fields plus sensor-like noise, JPEG quality 92, every file different).
bench_photos() {
  local count="$1"
  local cache="${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/lumerix-bench/photos-$count"
  local places=(
    "-0.743643887037151:0.131825904205330:0.0005"
    "-0.7453:0.1127:0.0065"
    "-0.16:1.0405:0.026"
    "-1.25066:0.02012:0.0017"
    "-0.748:0.1:0.0014"
    "-0.722:0.246:0.019"
    "-0.10109636:0.95628651:0.0045"
    "0.2549:0.0005:0.0021"
  )
  if [ ! -f "$cache/.complete" ]; then
    echo "making $count test pictures in $cache (once)" >&2
    rm -rf "$cache"
    mkdir -p "$cache"
    local i x y scale name
    for ((i = 1; i <= count; i++)); do
      IFS=: read -r x y scale <<<"${places[$(((i - 1) % ${#places[@]}))]}"
      scale=$(awk -v s="$scale" -v r="$(((i - 1) / ${#places[@]}))" 'BEGIN { printf "%.10g", s / (1 + 0.35 * r) }')
      name=$(printf 'photo-%03d.jpg' "$i")
      ffmpeg -hide_banner -loglevel error -y \
        -f lavfi -i "mandelbrot=size=4000x3000:start_x=$x:start_y=$y:start_scale=$scale:maxiter=250:inner=period:outer=normalized_iteration_count" \
        -f lavfi -i "gradients=s=4000x3000:n=4:seed=$i" \
        -filter_complex "[0:v][1:v]blend=all_mode=overlay,noise=alls=9:allf=t:all_seed=$((1000 + i)),format=rgb24" \
        -frames:v 1 -f image2pipe -vcodec ppm - | cjpeg -quality 92 >"$cache/$name.part"
      mv "$cache/$name.part" "$cache/$name"
    done
    touch "$cache/.complete"
  fi
  echo "$cache"
}

# bench_music SECONDS → prints the path of a 44.1 kHz stereo MP3 of that length (made once).
bench_music() {
  local seconds="$1"
  local file="${XDG_CACHE_HOME:-${HOME:-/tmp}/.cache}/lumerix-bench/music-$seconds.mp3"
  if [ ! -f "$file" ]; then
    mkdir -p "$(dirname "$file")"
    ffmpeg -hide_banner -loglevel error -y \
      -f lavfi -i "sine=frequency=330:duration=$seconds:sample_rate=44100" \
      -f lavfi -i "sine=frequency=495:duration=$seconds:sample_rate=44100" \
      -filter_complex "[0:a][1:a]join=inputs=2:channel_layout=stereo" -f wav - |
      lame --quiet -b 192 - "$file.part"
    mv "$file.part" "$file"
  fi
  echo "$file"
}

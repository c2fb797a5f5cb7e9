// The slideshow player for browsers: opened from the package folder (file://), offline. The
// package writer puts the shows' data beside it as lumerix-shows.js; pictures and music load
// as ordinary elements. Layout and transitions follow the native player's frame composer and
// transition painter, so both show the same screens.
(function () {
  'use strict';

  const data = window.LumerixShows || { shows: [], settings: {}, texts: {}, effects: [] };
  const settings = data.settings;
  const texts = data.texts;
  const shows = data.shows;
  const params = new URLSearchParams(location.search);

  const canvas = document.getElementById('screen');
  const screen = canvas.getContext('2d');
  const menu = document.getElementById('menu');
  const menuList = document.getElementById('menu-list');
  const hint = document.getElementById('hint');
  const music = document.getElementById('music');

  const EndTextTime = 3000;
  const HintTime = 5000;
  const TransitionStates = 60;
  const ReferenceWidth = 352;
  const LevelOne = 65536;

  // A seeded generator for tests; the browser's otherwise.
  let random = Math.random;
  if (params.has('seed')) {
    let a = Number(params.get('seed')) >>> 0;
    random = function () {
      a = (a + 0x6d2b79f5) >>> 0;
      let t = Math.imul(a ^ (a >>> 15), 1 | a);
      t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
      return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
  }

  // Sizes: the layout in CSS pixels as the native player lays out its window, the screen in
  // device pixels so pictures stay sharp on HiDPI screens.
  let ratio = 1;
  let cssW = 1;
  let cssH = 1;

  function device(n) {
    return Math.round(n * ratio);
  }

  function makeCanvas() {
    const c = document.createElement('canvas');
    c.width = canvas.width;
    c.height = canvas.height;
    return c;
  }

  function font(px, bold) {
    return (bold ? 'bold ' : '') + device(Math.max(px, 6)) + 'px "DejaVu Sans", "Segoe UI", Helvetica, Arial, sans-serif';
  }

  // Ascent and height of a font in device pixels.
  function metrics(ctx, px, bold) {
    ctx.font = font(px, bold);
    const m = ctx.measureText('Hg');
    const size = device(Math.max(px, 6));
    const ascent = Math.ceil(m.fontBoundingBoxAscent || size * 0.93);
    const descent = Math.ceil(m.fontBoundingBoxDescent || size * 0.24);
    return { ascent: ascent, height: ascent + descent };
  }

  function elided(ctx, text, width) {
    if (ctx.measureText(text).width <= width)
      return text;
    const chars = Array.from(text);
    while (chars.length && ctx.measureText(chars.join('') + '\u2026').width > width)
      chars.pop();
    return chars.join('') + '\u2026';
  }

  function captionPixels() {
    return Math.min(96, Math.max(10, Math.floor(cssH / 30)));
  }

  function fileNamePixels() {
    return Math.max(8, Math.floor(captionPixels() * 3 / 4));
  }

  // The text band and the picture area, in device pixels.
  let layout = null;
  function relayout() {
    const ctx = screen;
    let bottom = settings.textOffset > 0 ? Math.min(settings.textOffset, Math.floor(cssH / 3))
      : Math.max(4, Math.floor(cssH / 50));
    let band = 0;
    if (settings.captions)
      band += metrics(ctx, captionPixels()).height;
    if (settings.fileNames)
      band += metrics(ctx, fileNamePixels()).height;
    let area = { x: 0, y: 0, w: canvas.width, h: canvas.height };
    if (band > 0) {
      const gap = Math.max(4, Math.floor(cssH / 100));
      area.h = Math.max(1, canvas.height - device(bottom + gap) - band);
    } else {
      bottom = 0;
    }
    layout = { area: area, textBottom: canvas.height - device(bottom) };
  }

  // Qt's KeepAspectRatio scaling, in integers.
  function fit(w, h, bw, bh) {
    if (w <= 0 || h <= 0 || bw <= 0 || bh <= 0)
      return { w: 1, h: 1 };
    const rw = Math.floor(bh * w / h);
    if (rw <= bw)
      return { w: Math.max(1, rw), h: bh };
    return { w: bw, h: Math.max(1, Math.floor(bw * h / w)) };
  }

  function canvasWithBackground() {
    const c = makeCanvas();
    const ctx = c.getContext('2d');
    ctx.fillStyle = settings.background;
    ctx.fillRect(0, 0, c.width, c.height);
    return c;
  }

  function drawText(ctx, text, x, top, width, m) {
    const cx = x + width / 2;
    const y = top + m.ascent;
    ctx.textAlign = 'center';
    ctx.textBaseline = 'alphabetic';
    if (settings.outline) {
      const w = Math.max(1, Math.floor(Number(ctx.font.match(/(\d+)px/)[1]) / 24));
      ctx.fillStyle = settings.outline;
      for (let dx = -w; dx <= w; dx += w)
        for (let dy = -w; dy <= w; dy += w)
          if (dx || dy)
            ctx.fillText(text, cx + dx, y + dy);
    }
    ctx.fillStyle = settings.text;
    ctx.fillText(text, cx, y);
  }

  function composePicture(img, picture) {
    const c = canvasWithBackground();
    const ctx = c.getContext('2d');
    const a = layout.area;
    const f = fit(img.naturalWidth, img.naturalHeight, a.w, a.h);
    ctx.imageSmoothingEnabled = true;
    ctx.imageSmoothingQuality = 'high';
    ctx.drawImage(img, a.x + Math.floor((a.w - f.w) / 2), a.y + Math.floor((a.h - f.h) / 2), f.w, f.h);
    const margin = device(Math.max(8, Math.floor(cssW / 40)));
    const width = Math.max(1, c.width - 2 * margin);
    let bottom = layout.textBottom;
    const line = function (text, px) {
      const m = metrics(ctx, px);
      const shown = elided(ctx, text, width);
      drawText(ctx, shown, margin, bottom - m.height, width, m);
      bottom -= m.height;
      return shown;
    };
    const frame = { canvas: c, caption: '', fileName: '' };
    if (settings.fileNames && picture.file)
      frame.fileName = line(picture.file, fileNamePixels());
    else if (settings.fileNames)
      bottom -= metrics(ctx, fileNamePixels()).height;
    if (settings.captions && picture.caption)
      frame.caption = line(picture.caption, captionPixels());
    return frame;
  }

  function composeMessage(heading, lines) {
    lines = lines || [];
    const c = canvasWithBackground();
    const ctx = c.getContext('2d');
    const margin = Math.max(8, Math.floor(cssW / 20));
    const width = device(Math.max(1, cssW - 2 * margin));
    const hm = metrics(ctx, Math.min(120, Math.max(12, Math.floor(cssH / 16))), true);
    const lm = metrics(ctx, captionPixels());
    const gap = lines.length ? lm.height : 0;
    const room = c.height - device(2 * margin) - hm.height - gap;
    const shown = Math.min(lines.length, Math.max(0, Math.floor(room / Math.max(1, lm.height))));
    const total = hm.height + gap + shown * lm.height;
    let top = Math.floor((c.height - total) / 2);
    metrics(ctx, Math.min(120, Math.max(12, Math.floor(cssH / 16))), true);
    drawText(ctx, elided(ctx, heading, width), device(margin), top, width, hm);
    top += hm.height + gap;
    metrics(ctx, captionPixels());
    for (let i = 0; i < shown; ++i) {
      drawText(ctx, elided(ctx, lines[i], width), device(margin), top, width, lm);
      top += lm.height;
    }
    return c;
  }

  function composePoster(img) {
    const c = canvasWithBackground();
    const f = fit(img.naturalWidth, img.naturalHeight, c.width, c.height);
    const ctx = c.getContext('2d');
    ctx.imageSmoothingQuality = 'high';
    ctx.drawImage(img, Math.floor((c.width - f.w) / 2), Math.floor((c.height - f.h) / 2), f.w, f.h);
    return c;
  }

  // The same random orders as the native painter: std::seed_seq feeding std::mt19937.
  function seedSequence(values, n) {
    const out = new Uint32Array(n).fill(0x8b8b8b8b);
    const s = values.length;
    const m = Math.max(s + 1, n);
    const t = n >= 623 ? 11 : n >= 68 ? 7 : n >= 39 ? 5 : n >= 7 ? 3 : (n - 1) >> 1;
    const p = (n - t) >> 1;
    const q = p + t;
    const T = function (x) { return (x ^ (x >>> 27)) >>> 0; };
    for (let k = 0; k < m; ++k) {
      const r1 = Math.imul(1664525, T(out[k % n] ^ out[(k + p) % n] ^ out[(k + n - 1) % n])) >>> 0;
      const r2 = (r1 + (k === 0 ? s : k <= s ? (k % n) + values[k - 1] : k % n)) >>> 0;
      out[(k + p) % n] = out[(k + p) % n] + r1;
      out[(k + q) % n] = out[(k + q) % n] + r2;
      out[k % n] = r2;
    }
    for (let k = m; k < m + n; ++k) {
      const r3 = Math.imul(1566083941, T((out[k % n] + out[(k + p) % n] + out[(k + n - 1) % n]) >>> 0)) >>> 0;
      const r4 = (r3 - (k % n)) >>> 0;
      out[(k + p) % n] ^= r3;
      out[(k + q) % n] ^= r4;
      out[k % n] = r4;
    }
    return out;
  }

  function mersenne(values) {
    const mt = seedSequence(values, 624);
    let index = 624;
    return function () {
      if (index >= 624) {
        for (let i = 0; i < 624; ++i) {
          const y = (mt[i] & 0x80000000) | (mt[(i + 1) % 624] & 0x7fffffff);
          mt[i] = mt[(i + 397) % 624] ^ (y >>> 1) ^ (y & 1 ? 0x9908b0df : 0);
        }
        index = 0;
      }
      let y = mt[index++];
      y ^= y >>> 11;
      y ^= (y << 7) & 0x9d2c5680;
      y ^= (y << 15) & 0xefc60000;
      y ^= y >>> 18;
      return y >>> 0;
    };
  }

  const Catalogue = {};
  [101, 102, 103, 104, 105, 106, 107, 108, 201, 202, 203, 204, 301, 302, 401, 402, 501, 502,
    601, 701, 703, 1001, 1002, 1101, 1102, 1201, 1202].forEach(function (e) { Catalogue[e] = 'reveal'; });
  Catalogue[702] = 'blend';
  [801, 802, 803, 804].forEach(function (e) { Catalogue[e] = 'push'; });
  [811, 812, 813, 814].forEach(function (e) { Catalogue[e] = 'slide'; });
  Catalogue[900] = 'cut';
  Catalogue[1301] = Catalogue[1302] = 'zoom';

  function hasEdge(e) {
    const group = Math.floor(e / 100);
    return (group >= 1 && group <= 4) || e === 501 || e === 502 || group === 8 || group === 10 || group === 11;
  }

  function toLevel(t) {
    return Math.min(Math.max(Math.floor(t * LevelOne), 0), LevelOne - 1);
  }

  // Which Effects.ini line the next transition uses, as the native player chooses it.
  function chooseEffect() {
    const effects = data.effects;
    if (!effects || !effects.length || settings.effectMode === 'off')
      return null;
    let number = settings.effect;
    if (settings.effectMode === 'random') {
      if (effects.length < 2)
        return null;
      number = 1 + Math.floor(random() * (effects.length - 1));
    }
    document.body.dataset.effectLine = number;
    return effectLine(number);
  }

  function effectLine(number) {
    const line = data.effects[number - 1];
    if (!line || !Catalogue[line[0]])
      return null;
    return { effect: line[0], delay: line[1], grain: line[2], passes: line[3], wand: line[4] };
  }

  // The per-pixel reveal time of a threshold effect, as levels 0 .. 65535.
  function revealMap(e, g) {
    const W = g.W, H = g.H, w = W, h = H, cx = w / 2, cy = h / 2;
    const level = new Uint16Array(W * H);
    const band = g.wand > 0 ? new Uint16Array(W * H) : null;
    const perPass = 1 / g.passes;
    const bandScale = g.wand * perPass * LevelOne;
    const fill = function (field, pass) {
      for (let y = 0; y < H; ++y) {
        for (let x = 0; x < W; ++x) {
          const r = field(x + 0.5, y + 0.5);
          const i = y * W + x;
          level[i] = toLevel((pass(x, y) + r[0]) * perPass);
          if (band)
            band[i] = Math.min(Math.max(Math.ceil(r[1] * bandScale), 1), 65535);
        }
      }
    };
    const th = g.thickness, passes = g.passes;
    const fillPasses = function (columns, field) {
      if (passes <= 1)
        fill(field, function () { return 0; });
      else if (columns)
        fill(field, function (x) { return Math.floor(x / th) % passes; });
      else
        fill(field, function (x, y) { return Math.floor(y / th) % passes; });
    };
    const block = Math.max(1, Math.round(Math.max(g.grain, 1) * g.scale));
    const rng = mersenne([e, g.grain >>> 0, g.passes, W, H]);
    let travel = 0;
    switch (e) {
    case 101: case 102:
      fillPasses(false, function (px) { return [(e === 102 ? w - px : px) / w, 1 / w]; });
      travel = w;
      break;
    case 103: case 104:
      fillPasses(true, function (px, py) { return [(e === 104 ? h - py : py) / h, 1 / h]; });
      travel = h;
      break;
    case 105: case 106: case 107: case 108: {
      const right = e === 106 || e === 108, bottom = e === 107 || e === 108;
      const slope = 0.5 * Math.hypot(1 / w, 1 / h);
      fillPasses(false, function (px, py) {
        return [((right ? w - px : px) / w + (bottom ? h - py : py) / h) / 2, slope];
      });
      travel = 1 / slope;
      break;
    }
    case 201: case 202:
      fillPasses(false, function (px) {
        const d = Math.abs(px - cx) / cx;
        return [e === 202 ? 1 - d : d, 1 / cx];
      });
      travel = cx;
      break;
    case 203: case 204:
      fillPasses(true, function (px, py) {
        const d = Math.abs(py - cy) / cy;
        return [e === 204 ? 1 - d : d, 1 / cy];
      });
      travel = cy;
      break;
    case 301: case 302:
      fillPasses(false, function (px, py) {
        const dx = Math.abs(px - cx) / cx, dy = Math.abs(py - cy) / cy, d = Math.max(dx, dy);
        return [e === 302 ? 1 - d : d, dx >= dy ? 1 / cx : 1 / cy];
      });
      travel = Math.max(cx, cy);
      break;
    case 401: case 402: {
      const radius = Math.hypot(cx, cy);
      fillPasses(false, function (px, py) {
        const d = Math.hypot(px - cx, py - cy) / radius;
        return [e === 402 ? 1 - d : d, 1 / radius];
      });
      travel = radius;
      break;
    }
    case 501: case 502: {
      const vertical = e === 502;
      const blinds = Math.max(2, g.grain);
      const length = (vertical ? w : h) / blinds;
      fill(function (px, py) {
        const along = vertical ? px : py;
        const blind = Math.min(Math.floor(along / length), blinds - 1);
        return [Math.min(Math.max((along - blind * length) / length, 0), 1), 1 / length];
      }, function (x, y) {
        const along = (vertical ? x : y) + 0.5;
        return Math.min(Math.floor(along / length), blinds - 1) % passes;
      });
      break;
    }
    case 601:
      fillPasses(false, function (px, py) {
        const column = Math.floor(px / block), row = Math.floor(py / block);
        return [(((column + row) & 1) + (px - column * block) / block) / 2, 0];
      });
      break;
    case 701: case 1201: case 1202: {
      const columns = Math.ceil(W / block), rows = Math.ceil(H / block), count = columns * rows;
      const rank = new Int32Array(count);
      if (e === 701) {
        for (let i = 0; i < count; ++i)
          rank[i] = i;
        for (let i = count - 1; i > 0; --i) {
          const j = rng() % (i + 1);
          const t = rank[i]; rank[i] = rank[j]; rank[j] = t;
        }
      } else {
        let next = 0;
        const put = function (x, y) { rank[y * columns + x] = next++; };
        for (let ring = 0; 2 * ring < columns && 2 * ring < rows; ++ring) {
          const left = ring, top = ring, right = columns - 1 - ring, bottom = rows - 1 - ring;
          for (let x = left; x <= right; ++x) put(x, top);
          for (let y = top + 1; y <= bottom; ++y) put(right, y);
          if (bottom > top) for (let x = right - 1; x >= left; --x) put(x, bottom);
          if (right > left) for (let y = bottom - 1; y > top; --y) put(left, y);
        }
        if (e === 1202)
          for (let i = 0; i < count; ++i)
            rank[i] = count - 1 - rank[i];
      }
      fillPasses(false, function (px, py) {
        return [(rank[Math.floor(py / block) * columns + Math.floor(px / block)] + 0.5) / count, 0];
      });
      break;
    }
    case 703: {
      const columns = Math.ceil(W / block), rows = Math.ceil(H / block);
      const when = new Float32Array(columns * rows);
      for (let i = 0; i < when.length; ++i)
        when[i] = (rng() >>> 8) * (1 / (1 << 24));
      fillPasses(false, function (px, py) {
        return [when[Math.floor(py / block) * columns + Math.floor(px / block)], 0];
      });
      break;
    }
    case 1001: case 1002: {
      const turn = e === 1001 ? 1 : -1;
      const full = 2 * Math.PI;
      fillPasses(false, function (px, py) {
        const dx = px - cx, dy = py - cy;
        let angle = Math.atan2(turn * dx, -dy);
        if (angle < 0)
          angle += full;
        return [Math.min(angle / full, 1), 1 / (full * Math.max(Math.hypot(dx, dy), 0.5))];
      });
      travel = Math.PI * Math.min(w, h);
      break;
    }
    case 1101: case 1102: {
      const slope = Math.SQRT2 / (w + h);
      fillPasses(false, function (px, py) {
        return [((e === 1102 ? w - px : px) + py) / (w + h), slope];
      });
      travel = 1 / slope;
      break;
    }
    }
    let steps = 0;
    if (hasEdge(e) && e !== 501 && e !== 502 && g.grain > 1 && travel > 0)
      steps = Math.max(1, Math.round(travel / (g.grain * g.scale))) * g.passes;
    return { level: level, band: band, steps: steps };
  }

  // Paints picture B over picture A (two canvases of the screen's size) state by state.
  function Transition(a, b, p) {
    this.a = a;
    this.b = b;
    this.effect = p.effect;
    this.mode = Catalogue[p.effect];
    this.states = this.mode === 'cut' ? 1 : TransitionStates;
    const W = a.width, H = a.height, scale = W / ReferenceWidth;
    this.g = {
      W: W, H: H, scale: scale, grain: p.grain,
      passes: this.mode === 'reveal' ? Math.max(1, p.passes) : 1,
      thickness: Math.max(1, Math.round(scale)),
      wand: p.wand > 0 && hasEdge(p.effect) ? Math.max(1, p.wand * scale) : 0,
    };
    if (this.mode === 'reveal') {
      this.map = revealMap(this.effect, this.g);
      // Pictures from file:// taint a canvas, so its pixels cannot be read back: B is cut
      // out through a mask of our own and drawn over A.
      this.mask = makeCanvas();
      this.maskData = new ImageData(W, H);
      if (this.map.band) {
        this.wand = makeCanvas();
        this.wandData = new ImageData(W, H);
      }
    }
  }

  Transition.prototype.paint = function (state, ctx) {
    const W = this.g.W, H = this.g.H, n = this.states;
    if (state >= n) {
      ctx.drawImage(this.b, 0, 0);
      return;
    }
    if (this.mode === 'reveal') {
      const map = this.map;
      let level = Math.floor(state * LevelOne / n);
      if (map.steps > 0)
        level = Math.floor(Math.floor(state * map.steps / n) * LevelOne / map.steps);
      const lv = map.level, band = map.band, opaque = 0xff000000;
      const mask = new Uint32Array(this.maskData.data.buffer);
      if (!band) {
        for (let i = 0; i < mask.length; ++i)
          mask[i] = lv[i] < level ? opaque : 0;
      } else {
        const wand = new Uint32Array(this.wandData.data.buffer);
        for (let i = 0; i < mask.length; ++i) {
          const at = lv[i];
          const shown = at < level;
          const edge = shown && level - at <= band[i];
          mask[i] = shown && !edge ? opaque : 0;
          wand[i] = edge ? opaque : 0;
        }
      }
      const m = this.mask.getContext('2d');
      m.putImageData(this.maskData, 0, 0);
      m.globalCompositeOperation = 'source-in';
      m.drawImage(this.b, 0, 0);
      m.globalCompositeOperation = 'source-over';
      ctx.drawImage(this.a, 0, 0);
      ctx.drawImage(this.mask, 0, 0);
      if (band) {
        this.wand.getContext('2d').putImageData(this.wandData, 0, 0);
        ctx.drawImage(this.wand, 0, 0);
      }
    } else if (this.mode === 'blend') {
      ctx.globalAlpha = 1;
      ctx.drawImage(this.a, 0, 0);
      ctx.globalAlpha = Math.floor((state * 256 + n / 2) / n) / 256;
      ctx.drawImage(this.b, 0, 0);
      ctx.globalAlpha = 1;
    } else if (this.mode === 'push' || this.mode === 'slide') {
      const direction = this.effect % 10;
      const horizontal = direction <= 2;
      const length = horizontal ? W : H;
      let progress = state / n;
      if (this.g.grain > 1) {
        const steps = Math.max(1, Math.round(length / (this.g.grain * this.g.scale)));
        progress = Math.floor(state * steps / n) / steps;
      }
      const into = Math.min(Math.max(Math.round(progress * length), 0), length);
      const fromStart = direction === 1 || direction === 3;
      const push = this.mode === 'push';
      const bDest = fromStart ? 0 : length - into, bSource = fromStart ? length - into : 0;
      const aDest = fromStart ? into : 0, aSource = push === fromStart ? 0 : into;
      const aLength = length - into;
      const part = function (img, source, dest, size) {
        if (size <= 0) return;
        if (horizontal) ctx.drawImage(img, source, 0, size, H, dest, 0, size, H);
        else ctx.drawImage(img, 0, source, W, size, 0, dest, W, size);
      };
      part(this.b, bSource, bDest, into);
      part(this.a, aSource, aDest, aLength);
      if (this.g.wand > 0 && into > 0) {
        const wand = Math.min(into, Math.max(1, Math.round(this.g.wand)));
        const from = fromStart ? into - wand : bDest;
        ctx.fillStyle = '#000';
        if (horizontal) ctx.fillRect(from, 0, wand, H);
        else ctx.fillRect(0, from, W, wand);
      }
    } else if (this.mode === 'zoom') {
      const zoomIn = this.effect === 1301;
      const t = state / n, eased = t * t * (3 - 2 * t);
      const scale = zoomIn ? eased : 1 - eased;
      const sw = Math.round(W * scale), sh = Math.round(H * scale);
      ctx.drawImage(zoomIn ? this.a : this.b, 0, 0);
      if (sw > 0 && sh > 0) {
        ctx.imageSmoothingQuality = 'high';
        ctx.drawImage(zoomIn ? this.b : this.a, Math.floor((W - sw) / 2), Math.floor((H - sh) / 2), sw, sh);
      }
    } else {
      ctx.drawImage(this.b, 0, 0);
    }
  };

  // Player state.
  let phase = 'idle';
  let sequence = [];
  let backToMenu = true;
  let target = { show: -1, picture: -1 };
  let direction = 1;
  let broken = new Set();
  let current = null; // the canvas on screen
  let transition = null;
  let pictureTimer = 0;
  let phaseTimer = 0;
  let hintTimer = 0;
  let selected = 0;
  let generation = 0;
  const frozen = params.get('freeze');
  // Tests pick the Effects.ini line of a frozen transition.
  if (frozen && params.has('line')) {
    settings.effectMode = 'on';
    settings.effect = Number(params.get('line'));
  }
  const images = new Map();

  function keyOf(k) { return k.show + '/' + k.picture; }

  function url(path) {
    return path.split('/').map(encodeURIComponent).join('/');
  }

  function showPaint(c) {
    current = c;
    screen.globalAlpha = 1;
    screen.drawImage(c, 0, 0);
  }

  function clearTimers() {
    clearTimeout(pictureTimer);
    clearTimeout(phaseTimer);
  }

  function cancelTransition() {
    if (!transition)
      return;
    const t = transition;
    transition = null;
    showPaint(t.target);
    if (t.done)
      t.done();
  }

  // Shows `c`, with a transition when `effect` is set, then calls `done`.
  function showScreen(c, effect, done) {
    cancelTransition();
    const p = effect && current ? chooseEffect() : null;
    if (!p || Catalogue[p.effect] === 'cut') {
      showPaint(c);
      if (done) done();
      return;
    }
    const painter = new Transition(current, c, p);
    const stateMs = Math.max(p.delay, 1);
    const start = performance.now();
    const t = { target: c, done: done, painter: painter, shown: 0 };
    transition = t;
    // States follow the clock, so a slow machine skips states instead of dragging on; a
    // timer rather than animation frames keeps it going in a hidden tab as in the native one.
    const tick = function () {
      if (transition !== t)
        return;
      const state = Math.min(painter.states, 1 + Math.floor((performance.now() - start) / stateMs));
      if (state >= painter.states) {
        ++counts.transitions;
        transition = null;
        showPaint(c);
        if (done) done();
        return;
      }
      if (state !== t.shown) {
        t.shown = state;
        painter.paint(state, screen);
      }
      setTimeout(tick, Math.min(stateMs, 40));
    };
    tick();
  }

  function showHint(visible) {
    clearTimeout(hintTimer);
    if (!visible || frozen) {
      hint.hidden = true;
      return;
    }
    const lines = [texts.quit];
    if (settings.manual)
      lines.push(texts.step);
    hint.textContent = lines.join('\n');
    hint.hidden = false;
    hintTimer = setTimeout(function () { hint.hidden = true; }, HintTime);
  }

  // Music: the tracks of the show in order, over and over.
  let trackList = [];
  let track = 0;
  let trackFailures = 0;
  function playMusic(tracks) {
    stopMusic();
    trackList = tracks || [];
    track = 0;
    trackFailures = 0;
    if (trackList.length && !frozen)
      startTrack();
  }
  function startTrack() {
    music.src = url(trackList[track]);
    const started = music.play();
    if (started && started.catch)
      started.catch(function () {}); // no sound before the first click; retried then
  }
  function stopMusic() {
    trackList = [];
    music.pause();
    music.removeAttribute('src');
    music.load();
  }
  music.addEventListener('ended', function () {
    trackFailures = 0;
    track = (track + 1) % trackList.length;
    startTrack();
  });
  music.addEventListener('error', function () {
    if (!trackList.length || ++trackFailures >= trackList.length)
      return;
    track = (track + 1) % trackList.length;
    startTrack();
  });
  function resumeMusic() {
    if (trackList.length && music.paused && music.src)
      music.play().catch(function () {});
  }

  function loadImage(k) {
    const id = keyOf(k);
    if (!images.has(id)) {
      const picture = shows[k.show].pictures[k.picture];
      const img = new Image();
      const promise = new Promise(function (resolve) {
        img.onload = function () { resolve(img); };
        img.onerror = function () { resolve(null); };
      });
      img.src = url(shows[k.show].folder + '/' + picture.file);
      images.set(id, promise);
    }
    return images.get(id);
  }

  function keepOnly(keys) {
    const keep = new Set(keys.map(keyOf));
    for (const id of Array.from(images.keys()))
      if (!keep.has(id))
        images.delete(id);
  }

  function neighbour(k, dir) {
    let position = sequence.indexOf(k.show);
    if (position < 0)
      return null;
    let total = 0;
    sequence.forEach(function (s) { total += shows[s].pictures.length; });
    const loop = !settings.stopAtEnd;
    let picture = k.picture;
    for (let step = 0; step < total; ++step) {
      picture += dir;
      if (picture >= shows[sequence[position]].pictures.length) {
        if (++position >= sequence.length) {
          if (!loop) return null;
          position = 0;
        }
        picture = 0;
      } else if (picture < 0) {
        if (--position < 0) {
          if (!loop) return null;
          position = sequence.length - 1;
        }
        picture = shows[sequence[position]].pictures.length - 1;
      }
      const candidate = { show: sequence[position], picture: picture };
      if (!broken.has(keyOf(candidate)))
        return candidate;
    }
    return null;
  }

  // The first picture from `k` on (in `dir`) that loads, with its composed frame.
  function resolve(k, dir) {
    return loadImage(k).then(function (img) {
      if (img)
        return { key: k, frame: composePicture(img, shows[k.show].pictures[k.picture]) };
      broken.add(keyOf(k));
      const next = neighbour(k, dir);
      if (next)
        return resolve(next, dir);
      const forward = neighbour(k, 1);
      return forward ? resolve(forward, 1) : null;
    });
  }

  function goTo(k, dir) {
    cancelTransition();
    clearTimeout(pictureTimer);
    direction = dir;
    target = k;
    const mine = ++generation;
    resolve(k, dir).then(function (found) {
      if (mine !== generation || phase !== 'playing')
        return;
      if (!found) {
        showEnd();
        return;
      }
      target = found.key;
      document.body.dataset.caption = found.frame.caption;
      showScreen(found.frame.canvas, true, function () { presented(mine); });
    });
  }

  // Test hook: "?report" keeps the window title telling what has been played.
  const counts = { pictures: 0, transitions: 0 };
  function report() {
    if (params.has('report'))
      document.title = 'played=' + counts.pictures + ' transitions=' + counts.transitions +
        ' music=' + music.currentTime.toFixed(1) + ' shown=' + target.show + ',' + target.picture;
  }
  if (params.has('report'))
    setInterval(report, 250);

  function presented(mine) {
    if (mine !== generation || phase !== 'playing')
      return;
    ++counts.pictures;
    document.body.dataset.shown = target.show + ',' + target.picture;
    if (!settings.manual)
      pictureTimer = setTimeout(function () { step(1); }, shows[target.show].seconds * 1000);
    const keep = [target];
    const dirs = settings.manual ? [1, -1] : [1];
    dirs.forEach(function (d) {
      const n = neighbour(target, d);
      if (n) {
        keep.push(n);
        loadImage(n);
      }
    });
    keepOnly(keep);
  }

  function step(dir) {
    if (phase !== 'playing')
      return;
    const next = neighbour(target, dir);
    if (next)
      goTo(next, dir);
    else if (dir > 0)
      showEnd();
  }

  function setPhase(p) {
    phase = p;
    document.body.dataset.phase = p;
    menu.hidden = p !== 'menu';
    document.body.style.cursor = p === 'playing' && document.fullscreenElement ? 'none' : '';
  }

  function playShows(list, toMenu) {
    cancelTransition();
    clearTimers();
    setPhase('playing');
    sequence = list;
    backToMenu = toMenu;
    broken = new Set();
    images.clear();
    if (!current)
      showPaint(canvasWithBackground());
    document.title = data.product + ' : ' + shows[list[0]].title;
    showHint(true);
    playMusic(shows[list[0]].tracks);
    goTo({ show: list[0], picture: 0 }, 1);
  }

  function showEnd() {
    cancelTransition();
    clearTimers();
    ++generation;
    stopMusic();
    showHint(false);
    setPhase('end');
    showScreen(composeMessage(texts.end), true, null);
    phaseTimer = setTimeout(endDone, EndTextTime);
  }

  function endDone() {
    clearTimers();
    showMenu();
  }

  function showEmpty() {
    setPhase('empty');
    showPaint(composeMessage(texts.noShow));
  }

  function introCard() {
    return composeMessage(data.product, shows.map(function (s) { return s.title; }));
  }

  function showIntro() {
    setPhase('intro');
    const card = introCard();
    showPaint(card);
    if (data.intro.picture) {
      const img = new Image();
      img.onload = function () {
        if (phase === 'intro')
          showPaint(composePoster(img));
      };
      img.src = url(data.intro.picture);
    }
    if (!frozen)
      phaseTimer = setTimeout(afterIntro, data.intro.seconds * 1000);
  }

  function afterIntro() {
    clearTimers();
    if (shows.length === 1)
      playShows([0], true);
    else
      showMenu();
  }

  function showMenu() {
    cancelTransition();
    clearTimers();
    ++generation;
    stopMusic();
    showHint(false);
    setPhase('menu');
    document.title = data.product;
    current = null;
    showPaint(canvasWithBackground());
    select(selected);
  }

  function buildMenu() {
    document.getElementById('menu-title').textContent = data.product;
    document.getElementById('menu-hint').textContent = texts.quit;
    menu.style.color = settings.text;
    menuList.textContent = '';
    shows.forEach(function (show, i) {
      const item = document.createElement('li');
      item.textContent = show.title;
      item.addEventListener('click', function (event) {
        event.stopPropagation();
        choose(i);
      });
      menuList.appendChild(item);
    });
  }

  function select(i) {
    if (!shows.length)
      return;
    selected = Math.min(Math.max(i, 0), shows.length - 1);
    Array.from(menuList.children).forEach(function (item, n) {
      item.style.background = n === selected ? settings.text : 'transparent';
      item.style.color = n === selected ? settings.background : settings.text;
    });
    menuList.children[selected].scrollIntoView({ block: 'nearest' });
  }

  function visibleRows() {
    return Math.max(1, Math.floor(menuList.clientHeight / Math.max(1, menuList.children[0].offsetHeight)));
  }

  function choose(i) {
    enterFullscreen();
    playShows([i], true);
  }

  function enterFullscreen() {
    if (settings.fullscreen && !document.fullscreenElement && document.documentElement.requestFullscreen)
      document.documentElement.requestFullscreen().catch(function () {});
  }

  function toggleFullscreen() {
    if (document.fullscreenElement)
      document.exitFullscreen().catch(function () {});
    else if (document.documentElement.requestFullscreen)
      document.documentElement.requestFullscreen().catch(function () {});
  }

  // Keys as the native player's, Esc ending the slideshow (here: back to the start screen).
  const Forward = ['ArrowRight', 'ArrowDown', 'PageDown', ' ', 'Enter'];
  const Back = ['ArrowLeft', 'ArrowUp', 'PageUp', 'Backspace'];
  document.addEventListener('keydown', function (event) {
    const key = event.key;
    resumeMusic();
    if (key === 'f' || key === 'F') {
      toggleFullscreen();
      return;
    }
    if (phase === 'menu') {
      const moves = { ArrowUp: -1, ArrowLeft: -1, ArrowDown: 1, ArrowRight: 1 };
      if (key in moves) select(selected + moves[key]);
      else if (key === 'PageUp') select(selected - visibleRows());
      else if (key === 'PageDown') select(selected + visibleRows());
      else if (key === 'Home') select(0);
      else if (key === 'End') select(shows.length - 1);
      else if (key === 'Enter' || key === ' ') choose(selected);
      else return;
      event.preventDefault();
      return;
    }
    if (key === 'Escape') {
      if (phase === 'playing' || phase === 'end' || phase === 'intro')
        showMenu();
      return;
    }
    if (phase === 'intro') {
      afterIntro();
    } else if (phase === 'playing') {
      if (Forward.includes(key)) step(1);
      else if (Back.includes(key)) step(-1);
      else return;
    } else if (phase === 'end') {
      endDone();
    } else {
      return;
    }
    event.preventDefault();
  });

  // A click or tap steps forward, a right click back; a swipe steps either way.
  let touch = null;
  let swiped = false;
  canvas.addEventListener('touchstart', function (event) {
    const t = event.changedTouches[0];
    touch = { x: t.clientX, y: t.clientY };
  }, { passive: true });
  canvas.addEventListener('touchend', function (event) {
    if (!touch) return;
    const t = event.changedTouches[0];
    const dx = t.clientX - touch.x, dy = t.clientY - touch.y;
    touch = null;
    if (Math.abs(dx) > 40 && Math.abs(dx) > Math.abs(dy) && phase === 'playing') {
      swiped = true;
      step(dx < 0 ? 1 : -1);
    }
  });
  canvas.addEventListener('click', function () {
    resumeMusic();
    if (swiped) {
      swiped = false;
      return;
    }
    if (phase === 'intro') afterIntro();
    else if (phase === 'playing') { enterFullscreen(); step(1); }
    else if (phase === 'end') endDone();
  });
  canvas.addEventListener('contextmenu', function (event) {
    if (phase === 'playing') {
      event.preventDefault();
      step(-1);
    }
  });
  document.getElementById('menu-full').addEventListener('click', function (event) {
    event.stopPropagation();
    toggleFullscreen();
  });
  document.addEventListener('fullscreenchange', function () { setPhase(phase); });

  // A new window size: the layout again, and the screen remade at the new size.
  function resize() {
    ratio = window.devicePixelRatio || 1;
    cssW = Math.max(1, window.innerWidth);
    cssH = Math.max(1, window.innerHeight);
    const w = device(cssW), h = device(cssH);
    if (canvas.width === w && canvas.height === h && layout)
      return false;
    canvas.width = w;
    canvas.height = h;
    relayout();
    return true;
  }

  window.addEventListener('resize', function () {
    if (!resize())
      return;
    cancelTransition();
    current = null;
    if (phase === 'playing') {
      images.clear();
      showPaint(canvasWithBackground());
      goTo(target, direction);
    } else if (phase === 'end') {
      showPaint(composeMessage(texts.end));
    } else if (phase === 'empty') {
      showEmpty();
    } else if (phase === 'intro') {
      showPaint(introCard());
    } else {
      showPaint(canvasWithBackground());
    }
  });

  // Test hook: "?freeze=SHOW,PICTURE,STATE" paints one moment and stops the clock (STATE 0
  // is the picture fully shown, 1 .. 59 the transition from the picture before it);
  // "?freeze=menu", "?freeze=intro" and "?freeze=end" show those screens.
  function freeze(request) {
    const parts = request.split(',');
    // The screen's pixels for the test, where the browser lets the page read them.
    const done = function () {
      try {
        document.body.dataset.pixels = canvas.toDataURL('image/png');
      } catch (e) {
        document.body.dataset.pixels = '';
      }
      document.body.dataset.ready = '1';
    };
    if (parts[0] === 'menu') { buildMenu(); showMenu(); done(); return; }
    if (parts[0] === 'intro') { showIntro(); done(); return; }
    if (parts[0] === 'end') { setPhase('end'); showPaint(composeMessage(texts.end)); done(); return; }
    const s = Number(parts[0]), p = Number(parts[1]), state = Number(parts[2] || 0);
    if (!shows[s]) { showEmpty(); done(); return; }
    setPhase('playing');
    sequence = shows.map(function (x, i) { return i; });
    resolve({ show: s, picture: p }, 1).then(function (found) {
      if (!found) { showEmpty(); done(); return; }
      target = found.key;
      document.body.dataset.shown = target.show + ',' + target.picture;
      document.body.dataset.caption = found.frame.caption;
      const before = neighbour(found.key, -1);
      if ((!state && !params.has('sheet')) || !before) { showPaint(found.frame.canvas); done(); return; }
      resolve(before, -1).then(function (prev) {
        // "&sheet=LINE:STATE,…" paints several transition states in one go.
        if (prev && params.has('sheet')) {
          const shots = params.get('sheet').split(',').map(function (entry) {
            const [line, k] = entry.split(':').map(Number);
            const chosen = effectLine(line);
            if (chosen)
              new Transition(prev.frame.canvas, found.frame.canvas, chosen).paint(k, screen);
            try {
              return canvas.toDataURL('image/png');
            } catch (e) {
              return '';
            }
          });
          document.body.dataset.sheet = JSON.stringify(shots);
        }
        const p2 = chooseEffect();
        if (!prev || !p2 || Catalogue[p2.effect] === 'cut') {
          showPaint(found.frame.canvas);
        } else {
          const painter = new Transition(prev.frame.canvas, found.frame.canvas, p2);
          painter.paint(state, screen);
        }
        done();
      });
    });
  }

  function start() {
    resize();
    document.body.style.background = settings.background;
    hint.style.color = settings.text;
    // The native hint box: the background at 200 of 255.
    const rgb = parseInt(settings.background.slice(1), 16);
    hint.style.background = 'rgba(' + (rgb >> 16) + ',' + ((rgb >> 8) & 255) + ',' + (rgb & 255) + ',0.78)';
    buildMenu();
    if (frozen) {
      freeze(frozen);
      return;
    }
    if (!shows.length) {
      showEmpty();
      return;
    }
    const named = params.get('show');
    const index = named ? shows.findIndex(function (s) { return s.folder.toLowerCase() === named.toLowerCase(); }) : -1;
    if (index >= 0)
      playShows([index], true);
    else if (data.intro && data.intro.enabled)
      showIntro();
    else
      afterIntro();
  }

  window.addEventListener('error', function (event) {
    document.body.dataset.error = event.message;
  });
  start();
}());

// The front end's screens, wired to the desktop program through the bridge.
(function () {
  'use strict';

  const $ = (id) => document.getElementById(id);
  const port = YunBridge.readPort();
  const bridge = new YunBridge.Bridge(port);
  const state = { devices: [], selected: new Set(), quality: 1, maximised: false, downloadId: '' };

  // ---- small helpers -------------------------------------------------------
  function toast(text, kind) {
    const el = document.createElement('div');
    el.className = 'toast' + (kind ? ' ' + kind : '');
    el.textContent = text;
    $('toasts').appendChild(el);
    setTimeout(() => el.remove(), 3200);
  }

  function el(tag, cls, text) {
    const node = document.createElement(tag);
    if (cls) node.className = cls;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // ---- bridge state --------------------------------------------------------
  const STATE_TEXT = { connecting: 'Connecting…', open: 'Connected', closed: port ? 'Reconnecting…' : 'No bridge port' };
  bridge.onstate = (s) => {
    const badge = $('bridgeStatus');
    badge.dataset.state = s;
    badge.querySelector('.text').textContent = STATE_TEXT[s];
    if (s === 'open') onBridgeOpen();
  };
  $('portValue').textContent = port || '—';

  function onBridgeOpen() {
    bridge.send('appLoadingCallback', { status: 'ready' });
    // Messages from device windows come back under this registration.
    bridge.listen('handleAppFunctionCallback', {}, onAppData, 'main-callback');
    loadSettings();
    loadInfo();
  }

  function onAppData(message) {
    const data = message.data || {};
    const id = data.instanceCode || data.winId || '';
    switch (data.type) {
      case 'closeWin': toast('Device window ' + id + ' closed'); break;
      case 'INSTALL': case 'INSTALL_ALL_DEVICE': toast('Install requested ' + (id ? 'for ' + id : 'for all devices')); break;
      case 'SCREENSHOT': case 'SCREENSHOT_ALL_DEVICE': toast('Screenshot requested ' + (id ? 'for ' + id : 'for all devices')); break;
      case 'ISPAUSESYNC': toast(data.status ? 'Group sync paused' : 'Group sync resumed'); break;
      default: toast('Message from a device window');
    }
  }

  // ---- title bar: drag region and window controls ---------------------------
  const titlebar = $('titlebar');
  titlebar.addEventListener('mousedown', (e) => {
    if (e.button !== 0 || e.target.closest('button')) return;
    bridge.send('dragStart');
  });
  window.addEventListener('mouseup', () => bridge.send('dragStop'));
  window.addEventListener('blur', () => bridge.send('dragStop'));
  titlebar.addEventListener('dblclick', (e) => { if (!e.target.closest('button')) toggleMaximise(); });
  $('btnMin').addEventListener('click', () => bridge.send('minimizeApp'));
  $('btnMax').addEventListener('click', toggleMaximise);
  $('btnClose').addEventListener('click', () => bridge.send('closeApp'));
  function toggleMaximise() {
    state.maximised = !state.maximised;
    bridge.send('fullScreenMainWin', { full: state.maximised });
  }

  // ---- navigation ----------------------------------------------------------
  function showView(name) {
    const button = document.querySelector('.nav[data-view="' + name + '"]');
    if (!button) return;
    document.querySelectorAll('.nav').forEach((b) => b.classList.toggle('active', b === button));
    document.querySelectorAll('.view').forEach((v) => v.classList.toggle('active', v.id === 'view-' + name));
    if (name === 'about') loadInfo();
  }
  document.querySelectorAll('.nav').forEach((button) => {
    button.addEventListener('click', () => showView(button.dataset.view));
  });
  // "#about", "#settings", ... open that screen directly.
  showView(location.hash.replace(/^#/, '').split('?')[0] || 'devices');

  // ---- devices -------------------------------------------------------------
  function deviceRequest(d) {
    return {
      userId: d.userId, deviceId: d.deviceId, winId: d.winId, channelAppId: d.channelAppId,
      channelSecret: d.channelSecret, channel: d.channel, quality: state.quality,
      localPort: String(port), orientation: d.orientation
    };
  }

  function openDevice(d) {
    bridge.send('showYunDeviceDialog', deviceRequest(d));
    toast('Opening ' + d.name + '…');
  }

  // The main group is every chosen device of the first one's channel (the
  // first leads); devices of other channels form one sub-group per channel.
  function openGroupOf(chosen) {
    if (chosen.length < 2) return;
    const leader = chosen[0];
    const main = chosen.filter((d) => d.channel === leader.channel)
      .map((d, i) => Object.assign(deviceRequest(d), i === 0 ? { winId: 'syncDevice' } : {}));
    const byChannel = new Map();
    chosen.filter((d) => d.channel !== leader.channel).forEach((d) => {
      if (!byChannel.has(d.channel)) byChannel.set(d.channel, []);
      byChannel.get(d.channel).push(deviceRequest(d));
    });
    const sub = Array.from(byChannel, ([channel, list]) => ({ channel: channel, deviceList: list }));
    bridge.send('showSyncYunDeviceDialog', { deviceList: { main: main }, sub: sub });
    toast('Group control: ' + leader.name + ' leads ' + (chosen.length - 1) + ' more');
  }

  function openGroup() {
    openGroupOf(state.devices.filter((d) => state.selected.has(d.deviceId)));
  }

  // Groups the cloud configured, each with its devices in order.
  function configuredGroups() {
    const groups = new Map();
    state.devices.filter((d) => d.group).forEach((d) => {
      if (!groups.has(d.group)) groups.set(d.group, []);
      groups.get(d.group).push(d);
    });
    groups.forEach((list) => list.sort((a, b) => (a.groupIndex || 0) - (b.groupIndex || 0)));
    return groups;
  }

  function renderGroups() {
    const bar = $('groupBar');
    bar.textContent = '';
    configuredGroups().forEach((list, name) => {
      const button = el('button', 'btn ghost small', 'Open ' + name + ' (' + list.length + ')');
      button.title = list.map((d) => d.deviceId).join(', ');
      button.addEventListener('click', () => openGroupOf(list.filter((d) => d.online)));
      bar.appendChild(button);
    });
    bar.hidden = !bar.childElementCount;
  }
  $('btnGroup').addEventListener('click', openGroup);

  function renderDevices() {
    const grid = $('deviceGrid');
    const filter = $('deviceFilter').value.trim().toLowerCase();
    grid.textContent = '';
    const shown = state.devices.filter((d) => !filter || (d.name + ' ' + d.deviceId + ' ' + d.model).toLowerCase().includes(filter));
    if (!shown.length) grid.appendChild(el('div', 'empty', 'No device matches.'));
    shown.forEach((d) => {
      const card = el('article', 'device' + (state.selected.has(d.deviceId) ? ' selected' : ''));
      const phone = el('div', 'phone');
      phone.style.setProperty('--c1', d.colors[0]);
      phone.style.setProperty('--c2', d.colors[1]);
      const body = el('div', 'device-body');
      body.appendChild(el('div', 'device-name', d.name));
      body.appendChild(el('div', 'device-meta', d.deviceId));
      body.appendChild(el('div', 'device-meta', d.model + ' · ' + d.region + ' · ' + d.channel));
      const tags = el('div', 'tags');
      tags.appendChild(el('span', 'tag ' + (d.online ? 'online' : 'offline'), d.online ? '● Online' : 'Offline'));
      tags.appendChild(el('span', 'tag', 'Android ' + d.android));
      body.appendChild(tags);
      const actions = el('div', 'device-actions');
      const open = el('button', 'btn primary small', 'Open');
      open.disabled = !d.online;
      open.addEventListener('click', () => openDevice(d));
      const check = el('label', 'check');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.checked = state.selected.has(d.deviceId);
      box.disabled = !d.online;
      box.addEventListener('change', () => {
        if (box.checked) state.selected.add(d.deviceId); else state.selected.delete(d.deviceId);
        card.classList.toggle('selected', box.checked);
        updateGroupButton();
      });
      check.appendChild(box);
      check.appendChild(document.createTextNode('Group'));
      actions.appendChild(open);
      actions.appendChild(check);
      body.appendChild(actions);
      card.appendChild(phone);
      card.appendChild(body);
      grid.appendChild(card);
    });
    const online = state.devices.filter((d) => d.online).length;
    $('deviceSummary').textContent = state.devices.length + ' devices · ' + online + ' online';
  }

  function updateGroupButton() {
    $('groupCount').textContent = state.selected.size;
    $('btnGroup').disabled = state.selected.size < 2;
  }
  $('deviceFilter').addEventListener('input', renderDevices);

  // ---- downloads -----------------------------------------------------------
  $('btnDownload').addEventListener('click', () => {
    const url = $('dlUrl').value.trim();
    const name = $('dlName').value.trim();
    if (!url) { toast('Enter a download address', 'bad'); return; }
    if (!name || /[\\/]|\.\./.test(name)) { toast('Choose a plain file name', 'bad'); return; }
    if (state.downloadId) bridge.unlisten(state.downloadId);
    $('dlBlock').hidden = false;
    $('btnOpenFile').disabled = true;
    $('dlLabel').textContent = 'Downloading ' + name + '.exe';
    setProgress(0, false);
    state.downloadId = bridge.listen('downloadGame', { appName: name, downloadUrl: url }, (m) => {
      if (m.completed) {
        setProgress(100, false);
        $('dlLabel').textContent = name + '.exe is ready';
        $('btnOpenFile').disabled = false;
        toast('Download finished', 'ok');
      } else {
        setProgress(m.progress, m.progress < 0);
      }
    });
  });
  function setProgress(percent, unknown) {
    $('dlBar').parentElement.classList.toggle('indeterminate', unknown);
    $('dlBar').style.width = unknown ? '' : Math.max(0, Math.min(100, percent)) + '%';
    $('dlPercent').textContent = unknown ? 'size unknown' : Math.floor(percent) + ' %';
  }
  $('btnOpenFile').addEventListener('click', () => bridge.send('openFileInTemp', { fileName: $('dlName').value.trim() + '.exe' }));
  $('btnImgFolder').addEventListener('click', () => bridge.send('openLocalImgFolder'));

  // ---- settings ------------------------------------------------------------
  function mark(groupId, value) {
    document.querySelectorAll('#' + groupId + ' button').forEach((b) => b.classList.toggle('on', b.dataset.value === String(value)));
  }
  function loadSettings() {
    bridge.storeGet('closeFunc').then((v) => mark('optClose', v === '1' ? '1' : '2')).catch(() => {});
    bridge.storeGet('quality').then((v) => { state.quality = Number(v) || 1; mark('optQuality', state.quality); }).catch(() => {});
    bridge.request('isAutoOpenApp').then((m) => { $('optAuto').checked = !!m.isAuto; }).catch(() => {});
  }
  document.querySelectorAll('#optClose button').forEach((b) => b.addEventListener('click', () => {
    bridge.storeSet('closeFunc', b.dataset.value).then(() => { mark('optClose', b.dataset.value); toast('Saved', 'ok'); });
  }));
  document.querySelectorAll('#optQuality button').forEach((b) => b.addEventListener('click', () => {
    bridge.storeSet('quality', b.dataset.value).then(() => { state.quality = Number(b.dataset.value); mark('optQuality', b.dataset.value); toast('Saved', 'ok'); });
  }));
  $('optAuto').addEventListener('change', (e) => {
    bridge.send('setAutoOpenApp', { isAuto: e.target.checked });
    bridge.request('isAutoOpenApp').then((m) => {
      $('optAuto').checked = !!m.isAuto;
      toast(m.isAuto ? 'tessivo starts when you log in' : 'Auto start is off', 'ok');
    });
  });
  $('btnReset').addEventListener('click', () => {
    bridge.storeClear('quality').then(() => { state.quality = 1; mark('optQuality', 1); toast('Picture quality reset', 'ok'); });
  });

  // ---- about ---------------------------------------------------------------
  const INFO_ROWS = [['packname', 'Package'], ['version', 'Version'], ['platform', 'Platform'], ['sys_version', 'System'],
    ['network', 'Network'], ['device', 'Device fingerprint'], ['promoteid', 'Promote id'], ['app_id', 'Channel id']];
  function loadInfo() {
    if (!bridge.isOpen) return;
    bridge.request('getAppInfo').then((info) => {
      $('infoVersion').textContent = info.version || '—';
      const list = $('infoList');
      list.textContent = '';
      INFO_ROWS.forEach(([key, label]) => {
        list.appendChild(el('dt', '', label));
        list.appendChild(el('dd', '', info[key] === '有线' ? 'Wired' : (info[key] || '—')));
      });
    }).catch(() => {});
  }
  $('btnRefreshInfo').addEventListener('click', loadInfo);

  // ---- start ---------------------------------------------------------------
  mark('optClose', '2');
  mark('optQuality', 1);
  YunDevices.loadDevices().then((list) => { state.devices = list; renderDevices(); renderGroups(); updateGroupButton(); });
  bridge.connect();
})();

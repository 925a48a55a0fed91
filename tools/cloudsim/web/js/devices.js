// The user's cloud phones: from "devices.json" beside this page when it is
// served (the local cloud writes it), else a built-in sample list.
(function (global) {
  'use strict';

  const SAMPLE = [
    { name: 'Game room 01', deviceId: 'CP-10001', model: 'Pixel 6', android: '12', region: 'East', online: true, channel: 'Lumet', colors: ['#7c3aed', '#22d3ee'] },
    { name: 'Game room 02', deviceId: 'CP-10002', model: 'Pixel 6', android: '12', region: 'East', online: true, channel: 'Lumet', colors: ['#db2777', '#f59e0b'] },
    { name: 'Shop assistant', deviceId: 'CP-10003', model: 'Galaxy S21', android: '11', region: 'North', online: true, channel: 'Kovra', colors: ['#059669', '#a3e635'] },
    { name: 'Social media', deviceId: 'CP-10004', model: 'Mi 11', android: '11', region: 'South', online: true, channel: 'Lumet', colors: ['#2563eb', '#818cf8'] },
    { name: 'Test phone', deviceId: 'CP-10005', model: 'Pixel 4', android: '10', region: 'East', online: false, channel: 'Lumet', colors: ['#475569', '#94a3b8'] },
    { name: 'Livestream', deviceId: 'CP-10006', model: 'Galaxy S21', android: '12', region: 'West', online: true, channel: 'Kovra', colors: ['#ea580c', '#facc15'] }
  ];

  function normalise(list) {
    return list.map((d, i) => Object.assign({
      userId: 'demo-user',
      channelAppId: 'demo-app',
      channelSecret: 'demo-secret',
      channel: 'Lumet',
      orientation: 0,
      online: true,
      colors: ['#7c3aed', '#22d3ee'],
      name: 'Cloud phone ' + (i + 1)
    }, d, { winId: d.winId || d.deviceId }));
  }

  function loadDevices() {
    if (!/^https?:$/.test(global.location.protocol)) return Promise.resolve(normalise(SAMPLE));
    return fetch('devices.json', { cache: 'no-store' })
      .then((r) => (r.ok ? r.json() : Promise.reject(new Error('no list'))))
      .then((list) => (Array.isArray(list) && list.length ? normalise(list) : normalise(SAMPLE)))
      .catch(() => normalise(SAMPLE));
  }

  global.YunDevices = { loadDevices: loadDevices };
})(window);

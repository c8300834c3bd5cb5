<!-- IP-camera picture: a still picture, or one that a script reloads. -->
<parts>
<part name="still">
	<div id="%%id?%%" style="%%style%%">
		<div title="%%hint?%%">
			<img id="campic%%camera%%" alt="Camera picture" style="height: %%height%%px; width: %%width%%px;" src="%%href%%" />
		</div>
	</div>
</part>
<part name="live">
	<div id="%%id?%%" style="%%style%%">
		<div title="%%hint?%%">
			<img id="campic%%camera%%" alt="Camera picture" style="height: %%height%%px; width: %%width%%px;" />
			<script language="JavaScript">var ipcamimg%%camera%% = new Image(); function ipcamrefr%%camera%%(x){RefreshCam('ipcamimg%%camera%%','campic%%camera%%','%%href%%',x?%%refresh%%:0,'%%delimiter%%');};ipcamimg%%camera%%.onload = ipcamrefr%%camera%%;%%start%%</script>
		</div>
	</div>
</part>
</parts>

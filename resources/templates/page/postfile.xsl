<!-- Upload-file field: a multipart form whose file input posts the chosen
     file at once; the block before it shows the state of the upload. -->
<parts>
<part name="form">
	<form id="%%id?%%" method="post" action="%%action%%" enctype="multipart/form-data" style="%%style%%"></form>
</part>
<part name="live">
	<div style="%%state%%"></div>
	<input title="%%hint?%%" class="mono" type="file" onchange="%%onchange%%" size="13" style="%%style%%" name="%%name%%" />
</part>
<part name="disabled">
	<input title="%%hint?%%" class="mono" type="file" size="23" style="%%style%%" readonly="readonly" disabled="true" />
</part>
<part name="missing">
	<form id="%%id?%%" style="%%style%%">
		<input title="%%hint?%%" class="mono" type="file" size="%%size%%" value="? ? ?" readonly="readonly" />
	</form>
</part>
</parts>

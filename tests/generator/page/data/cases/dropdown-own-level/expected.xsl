<?xml version="1.0" encoding="UTF-8" ?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-8" />
	<xsl:template match="/PAGE">
		<html>
			<head>
				<meta name="viewport" content="width=device-width" />
				<meta name="author" content="" />
				<title>page</title>
			</head>
			<body onload="GetXML('PAGE1.XML'); FunWatchDog();">
				<xsl:if test="1700000000 != ACCESS/@UCID">
					<p>The page changed: reload it.</p>
				</xsl:if>
				<xsl:if test="1700000000 = ACCESS/@UCID">
					<table>
						<tr>
							<!--logo-->
							<td id="logo">logo</td>
							<!--title-->
							<td id="title">
								<span>title</span>
							</td>
						</tr>
						<tr>
							<!--plan-->
							<td id="plan">
								<div style="background-color:#FFFFFF; position: relative; width: 800px; height: 500px;">
									<form action="javascript:PostGlobal();"></form>
									<select class="mono" id="INPUT1" style="position: absolute; top: 16px; left: 8px; width: 48px; z-index: 1; background-color: #C0C0C0;" value="{INPUT[1]/@VALUE}" name="{INPUT[1]/@NAME}" onchange="PostXML('PAGE1.XML', encodeURIComponent(this.name+'='+this.value));" onblur="InputFocused[1]=0">
										<xsl:if test="4 &gt; ACCESS/@USER_LEVEL">
											<xsl:attribute name="disabled"></xsl:attribute>
											<xsl:attribute name="name"></xsl:attribute>
											<xsl:attribute name="onchange"></xsl:attribute>
										</xsl:if>
										<option value="0">Off</option>
										<option value="1">On</option>
									</select>
								</div>
							</td>
						</tr>
						<tr>
							<!--bottom-->
							<td id="foot">
								<span>foot</span>
							</td>
						</tr>
					</table>
				</xsl:if>
			</body>
		</html>
	</xsl:template>
</xsl:stylesheet>
